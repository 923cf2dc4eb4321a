// The report page from templates that echo their arguments: the settings, the selection, a row
// per breath by kind, the summary, in litres and millilitres; the reason text when nothing can
// be reported; templates that do not format; agreement with the CSV report; the events that
// render it again; copy, print and print preview.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <locale>
#include <map>
#include <algorithm>
#include <sstream>

#include "FrameworkIds.h"
#include "ReportViewHost.h"
#include "appkit/Pasteboard.h"
#include "foundation/StringKeys.h"
#include "framework/MsgData.h"
#include "host/framework/ParamBlock.h"
#include "host/views/ViewCommands.h"
#include "spirometry/SpiroIds.h"
#include "web/WebView.h"

using namespace ViewsTest;
using Spirometry::Breath;

namespace {

typedef MsgData8<MsgIdClass<&Spirometry::SpiroDocumentGUID, 2>, 0, double, double, bool, int, int, int, double, bool>
    SettingsChangeMsg;

constexpr int kLitres = 8;
constexpr int kMillilitres = 7;

// The figures of one breath as a test sets them.
struct BreathFigures {
    uint32_t start, expiration, end;  // ticks of record 0 (100 per second)
    double pif, pef, maxVolume, minVolume;
    bool forced, single;
};

std::string Between(const std::string& text, const std::string& open, char close)
{
    const size_t from = text.find(open);
    if (from == std::string::npos)
        return "<no " + open + ">";
    const size_t start = from + open.size();
    const size_t stop = text.find(close, start);
    return text.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
}

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ReportViewTest : public ReportViewHost {
protected:
    Spirometry::SpiroDocument& Doc() { return *mDoc; }

    void SetSettings(int prefix, bool normalListed)
    {
        Doc().SendMsg(Doc().GetDestination(), SettingsChangeMsg(2.0, 1.0, normalListed, mFlow, mVolume, prefix, 0.0, false),
                      0);
    }

    // Replaces the figures of the detected breaths (as many as given) and renders again.
    void SetBreaths(const std::vector<BreathFigures>& figures)
    {
        const Spirometry::BreathList& breaths = Doc().Machine().Breaths();
        ASSERT_EQ(breaths.GetCount(), figures.size());
        for (unsigned i = 0; i < figures.size(); ++i) {
            Breath& b = *breaths[i];
            const BreathFigures& f = figures[i];
            b.start = KVDPosition{f.start, 0};
            b.maxVolumePos = KVDPosition{f.expiration, 0};
            b.end = KVDPosition{f.end, 0};
            b.peakPositiveFlow = f.pif;
            b.peakNegativeFlow = f.pef;
            b.maxVolume = f.maxVolume;
            b.minVolume = f.minVolume;
            b.forced = f.forced;
            b.excluded = f.single;
        }
        mView->OnSelectionChanged();
    }

    std::string Rows() { return Between(PageText(), "B[", ']'); }
    std::string Summary() { return Between(PageText(), "T[", ']'); }
    std::string Selection() { return Between(PageText(), "R[", ']'); }

    // Breaths of hand-made figures: a normal one, a single expiration that ends before one
    // second on (its FEV1 is its FVC), the detected forced breath unchanged, and two normal ones.
    std::vector<BreathFigures> HandMade()
    {
        const Breath& forced = *Doc().Machine().Breaths()[2];
        return {
            {100, 250, 400, 0.5, -0.25, 1.25, 0.25, false, false},
            {2700, 2850, 2890, 0.0, -0.75, 2.0, 0.5, false, true},
            {forced.start.tick, forced.maxVolumePos.tick, forced.end.tick, forced.peakPositiveFlow,
             forced.peakNegativeFlow, forced.maxVolume, forced.minVolume, true, false},
            {1000, 1100, 1300, 0.5, -0.5, 0.8, 0.3, false, false},
            {1300, 1400, 1500, 0.5, -0.5, 0.7, 0.2, false, false},
        };
    }
};

// The detected forced breath, as the CSV report of the same recording gives it.
const char* const kForcedLitres = "F(3|1.98|5.02|7|2.749||164.94||6.86175||411.705||3.4651||2.9963||86.4707)";
const char* const kForcedMillilitres =
    "F(3|1.98|5.02|7|2749|m|164940|m|6861.75|m|411705|m|3465.1|m|2996.3|m|86.4707)";

TEST_F(ReportViewTest, SettingsSelectionForcedRowAndSummaryOfTheDetectedBreaths)
{
    OpenReport();
    // Only the forced breath has a row; the summary counts all five.
    EXPECT_EQ(PageText(), std::string("S[2|3|1|2] R[1|0|1|29|3.01|25.17] B[") + kForcedLitres +
                              "] T[O(22.16|15.16|5|4)M(0.135152||8.10911||0.512226||0.263852|15.8311)]");
    EXPECT_EQ(KVD::ToU8String(mView->Page()), PageText());
}

// The bundle's own templates: a figure's unit stands in its cell, after the figure, so the
// column titles say in words which are the figures per second and which per minute.
TEST_F(ReportViewTest, TheBundlesColumnTitlesSayPerSecondAndPerMinuteInWords)
{
    std::map<std::string, std::string> templates;
    for (const auto& [name, echo] : kEchoTemplates)
        templates[name] = Bytes(std::string(SPIRO_BUNDLE_DIR) + "/Resources/report/" + name + ".html");
    WriteTemplates(templates);
    OpenReport();
    const std::string page = PageText();
    for (const char* titles : {"<th>PIF<br>(per second)</th><th>PIF<br>(per minute)</th>",
                               "<th>PEF<br>(per second)</th><th>PEF<br>(per minute)</th>",
                               "<th>V_E (per second)</th><th>V_E (per minute)</th>",
                               "<th>f (Hz)</th><th>f (per minute)</th>"})
        EXPECT_NE(page.find(titles), std::string::npos) << titles;
    EXPECT_EQ(page.find("(/"), std::string::npos) << page;
    // The forced breath's PIF with its unit in its cell.
    EXPECT_NE(page.find("<span>2.749</span> <span>L/s</span>"), std::string::npos) << page;
}

struct KindCase {
    int prefix;
    bool normalListed;
    std::string rows;
    std::string summary;
};

class ReportRows : public ReportViewTest, public ::testing::WithParamInterface<KindCase> {};

// Normal breaths: V_T 1, 0.5 and 0.5 L over 3, 3 and 2 s; the single expiration 1.9 s with
// PEF 0.75 L/s, FVC 1.5 L and no volume one second on (FEV1 and ratio 0); the forced 7 s.
TEST_P(ReportRows, OneRowPerShownBreathByKindAndTheSummaryOfAll)
{
    const KindCase& c = GetParam();
    SetSettings(c.prefix, c.normalListed);
    OpenReport();
    SetBreaths(HandMade());
    EXPECT_EQ(Rows(), c.rows);
    EXPECT_EQ(Summary(), c.summary);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReportRows,
    ::testing::Values(
        KindCase{kLitres, true,
                 std::string("N(1|1.5|1.5|3|1|)X(2|1.5|0.4|1.9|0.75||45||1.5||1.5||100)") + kForcedLitres +
                     "N(4|1|2|3|0.5|)N(5|1|1|2|0.5|)",
                 "O(16.9|8|5|3)M(0.25||15||0.666667||0.375|22.5)"},
        KindCase{kMillilitres, true,
                 std::string("N(1|1.5|1.5|3|1000|m)X(2|1.5|0.4|1.9|750|m|45000|m|1500|m|1500|m|100)") + kForcedMillilitres +
                     "N(4|1|2|3|500|m)N(5|1|1|2|500|m)",
                 "O(16.9|8|5|3)M(250|m|15000|m|666.667|m|0.375|22.5)"},
        // Normal breaths without rows still count in the summary.
        KindCase{kLitres, false, std::string("X(2|1.5|0.4|1.9|0.75||45||1.5||1.5||100)") + kForcedLitres,
                 "O(16.9|8|5|3)M(0.25||15||0.666667||0.375|22.5)"}));

TEST_F(ReportViewTest, OnlyForcedBreathsLeaveTheNormalSummaryOut)
{
    SetSettings(kLitres, false);
    OpenReport();
    std::vector<BreathFigures> figures = HandMade();
    for (BreathFigures& f : figures)
        f.forced = true;
    SetBreaths(figures);
    const std::string rows = Rows();
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 'F'), 5) << rows;
    EXPECT_EQ(Summary(), "O(16.9|0|5|0)");
}

// Volumes 1, 1.5, 0.5, 0.5 and 0.5 L over 12.9 s: V_E 4 / 12.9 L/s, V_T 0.8 L, f 5 / 12.9 Hz.
TEST_F(ReportViewTest, OnlyNormalBreathsUnlistedLeaveTheRowsEmptyAndTheSummaryWhole)
{
    SetSettings(kLitres, false);
    OpenReport();
    std::vector<BreathFigures> figures = HandMade();
    figures[1].single = false;
    figures[2] = {2000, 2100, 2300, 0.5, -0.5, 1.0, 0.5, false, false};
    SetBreaths(figures);
    EXPECT_EQ(Rows(), "");
    EXPECT_EQ(Summary(), "O(12.9|12.9|5|5)M(0.310078||18.6047||0.8||0.387597|23.2558)");
}

// An empty breath has no FEV1 / FVC, and normal breaths of no duration no rates: 0, never
// inf or nan.
TEST_F(ReportViewTest, ZeroVolumeAndZeroDurationGiveZeroFigures)
{
    SetSettings(kLitres, true);
    OpenReport();
    std::vector<BreathFigures> figures = HandMade();
    figures[0] = {500, 500, 500, 0.5, -0.25, 1.25, 0.25, false, false};
    figures[1] = {2000, 2000, 2000, 0.0, 0.0, 1.0, 1.0, false, true};
    figures[3] = {1000, 1000, 1000, 0.5, -0.5, 0.8, 0.3, false, false};
    figures[4] = {1300, 1300, 1300, 0.5, -0.5, 0.7, 0.2, false, false};
    SetBreaths(figures);
    EXPECT_NE(Rows().find("X(2|0|0|0|-0||-0||0||"), std::string::npos) << Rows();
    EXPECT_NE(Rows().find("||0)F("), std::string::npos) << Rows();
    EXPECT_EQ(Summary(), "O(7|0|5|3)M(0||0||0.666667||0|0)");
    EXPECT_EQ(PageText().find("nan"), std::string::npos);
    EXPECT_EQ(PageText().find("inf"), std::string::npos);
}

TEST_F(ReportViewTest, FEV1IsTheVolumeExpiredInTheFirstSecond)
{
    SetSettings(kLitres, true);
    OpenReport();
    std::vector<BreathFigures> figures = HandMade();
    figures[1].expiration = 1600;
    figures[1].minVolume = 0.0;  // an FVC of 2 L, more than the first second breathes out
    SetBreaths(figures);
    float oneSecondOn = 0.0f;
    ASSERT_EQ(mData->Data().GetSample(TChannelId{mVolume, 0x40001000}, KVDPosition{1700, 0}, &oneSecondOn), KVD_S_OK);
    const double fev1 = 2.0 - oneSecondOn;
    std::ostringstream expected;
    expected << "||2||" << fev1 << "||" << fev1 / 2.0 * 100.0 << ")";
    EXPECT_NE(Rows().find(expected.str()), std::string::npos) << Rows() << " " << expected.str();
}

// A decimal comma and digit grouping for every stream made while it lives.
class CommaLocale {
public:
    CommaLocale() : mBefore(std::locale::global(std::locale(std::locale::classic(), new Punct))) {}
    ~CommaLocale() { std::locale::global(mBefore); }

private:
    struct Punct : std::numpunct<wchar_t> {
        wchar_t do_decimal_point() const override { return L','; }
        wchar_t do_thousands_sep() const override { return L'.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    std::locale mBefore;
};

TEST_F(ReportViewTest, NumbersAreWrittenInTheClassicLocaleWhateverTheProgramsLocale)
{
    SetSettings(kMillilitres, false);
    const CommaLocale comma;
    OpenReport();
    EXPECT_EQ(Rows(), kForcedMillilitres);
}

TEST_F(ReportViewTest, ASelectionWithoutBreathsShowsTheReasonText)
{
    OpenReport();
    Select(KVDPosition{0, 0}, KVDPosition{100, 0});
    EXPECT_EQ(PageText(), KVD::ToU8String(KVD::String(KVDGetMyBundle(), SpirometryStr::IDS_SELECTION_ERROR_REASON_12, true)));
    EXPECT_EQ(PageText(), "No breaths were found in the selection.");
}

// Ends at tick 0x7FFFFFFF are the record's end: 2900 ticks, 29 s.
TEST_F(ReportViewTest, TheEndOfTheRecordIsShownAsItsRealEnd)
{
    Select(KVDPosition{0, 0}, KVDPosition{kRecordEndTick, 0});
    OpenReport();
    EXPECT_EQ(Selection().substr(0, 9), "1|0|1|29|") << Selection();
    std::vector<BreathFigures> figures = HandMade();
    figures[4].end = kRecordEndTick;
    SetBreaths(figures);
    EXPECT_EQ(Selection(), "1|0|1|29|1|29");
}

// Two records of 29 s each, the analysis over the second: times from the start of the record,
// or from the start of the recording when the time origin is 3.
TEST_F(ReportViewTest, TimeOrigin3CountsFromTheStartOfTheRecording)
{
    auto recording = SpiroTest::SmallBreathing();
    recording->AddRecord(recording->Record(0));
    mData->Close();
    mChild.Clear();
    Open(recording);
    AddCalculations();
    CreateDocument();
    Doc().SetSpFlowCalcChan(mFlow);
    Doc().SetSpVolCalcChan(mVolume);
    SelectRecord(1);
    OpenReport();
    EXPECT_EQ(Selection(), "2|0|2|29|3.01|25.17");
    mData->Document().SetTimeDisplayMode(0x103);
    mView->OnSelectionChanged();
    EXPECT_EQ(Selection(), "2|29|2|58|32.01|54.17");
}

struct TemplateCase {
    const char* name;
    std::string text;
    std::string page;  // "" for the unfilled main template
};

class BadTemplates : public ReportViewTest, public ::testing::WithParamInterface<TemplateCase> {};

TEST_P(BadTemplates, NeverThrowOutOfTheView)
{
    const TemplateCase& c = GetParam();
    WriteTemplates({{c.name, c.text}});
    OpenReport();
    const std::string main = std::string(c.name) == "Report" ? c.text : kEchoTemplates.at("Report");
    EXPECT_EQ(PageText(), c.page.empty() ? main : c.page);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, BadTemplates,
    ::testing::Values(
        // Too many arguments for the template are let pass.
        TemplateCase{"Report", "flow channel %1%, breaths %11%", "flow channel 2, breaths " + std::string(kForcedLitres)},
        TemplateCase{"Report_Summary", "breaths %3%", "S[2|3|1|2] R[1|0|1|29|3.01|25.17] B[" + std::string(kForcedLitres) +
                                                          "] T[breaths 5M(0.135152||8.10911||0.512226||0.263852|15.8311)]"},
        // An argument that is not fed, in the main template or an inner one, or a bad directive:
        // the unfilled main template.
        TemplateCase{"Report", "%1% %13%", ""},
        TemplateCase{"Report_Breath_Forced", "%18%", ""},
        TemplateCase{"Report_Summary_Normal", "%9%", ""},
        TemplateCase{"Report", "100% %1%", ""},
        TemplateCase{"Report_Summary", "%1% %", ""}));

// Selection and data changes of the host document and settings changes of the spirometry
// document each load a new page.
TEST_F(ReportViewTest, RendersAgainOnEachOfTheThreeEvents)
{
    OpenReport();
    const Web::WebView& web = *mView->GetWindowController()->GetWebView();
    const int loads = web.LoadCount();
    Select(KVDPosition{0, 0}, KVDPosition{100, 0});
    EXPECT_EQ(web.LoadCount(), loads + 1);
    SelectRecord(0);
    EXPECT_EQ(web.LoadCount(), loads + 2);
    EXPECT_EQ(Rows(), kForcedLitres);
    mData->NotifyDataChanged();
    EXPECT_EQ(web.LoadCount(), loads + 3);
    Doc().NotifyObservers(EventInfo{Spirometry::SpiroDocument::GetSettingsChangedEventId(), nullptr});
    EXPECT_EQ(web.LoadCount(), loads + 4);
    // A change of the unit prefix reaches the page.
    SetSettings(kMillilitres, false);
    EXPECT_EQ(Rows(), kForcedMillilitres);
}

TEST_F(ReportViewTest, NamesMenuTextsAndSmallestSize)
{
    OpenReport();
    EXPECT_EQ(mView->GetViewName(), L"Spirometry Report");
    EXPECT_EQ(mView->Edit_CopyToClipboardMenuText(), L"Copy Spirometry Report");
    EXPECT_EQ(mView->File_PrintMenuText(), L"Print Spirometry Report...");
    tagSIZE size{0, 0};
    const tagRECT frame{0, 0, 10, 10};
    mView->OnSizing(2, &frame, &size);
    EXPECT_EQ(size.cx, 300);
    EXPECT_EQ(size.cy, 200);
    // The window's web view sits where the layout's template view is, and offers no menu.
    Web::WebView& web = *mView->GetWindowController()->GetWebView();
    EXPECT_EQ(web.GetWindow(), mView->GetNativeWindow());
    EXPECT_EQ(web.Frame().width, 760);
    EXPECT_EQ(web.ContextMenuForElement({})->ItemCount(), 0u);
}

TEST_F(ReportViewTest, CopiesThePagePdfWithItsHtmlAndPrintsTheWholePage)
{
    OpenReport();
    using Host::ViewCommands;
    EXPECT_TRUE(ViewCommands::Query(mOpened.DocView(), ViewCommands::kCopy).enabled);
    EXPECT_EQ(ViewCommands::Query(mOpened.DocView(), ViewCommands::kCopy).text, "Copy Spirometry Report");
    EXPECT_EQ(ViewCommands::Query(mOpened.DocView(), ViewCommands::kPrint).text, "Print Spirometry Report...");
    EXPECT_FALSE(ViewCommands::Query(mOpened.DocView(), ViewCommands::kPrintPreview).enabled);

    AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
    pasteboard.Write(AppKit::Pasteboard::kTextType, "earlier");
    ASSERT_EQ(ViewCommands::Perform(mOpened.DocView(), ViewCommands::kCopy), KVD_S_OK);
    EXPECT_EQ(pasteboard.Read(AppKit::Pasteboard::kPdfType).substr(0, 5), "%PDF-");
    EXPECT_EQ(pasteboard.Read(AppKit::Pasteboard::kTextType), PageText());

    const std::string pdf = mBundle.Path().string() + "/printed.pdf";
    ASSERT_EQ(ViewCommands::PrintToPdf(mOpened.DocView(), pdf), KVD_S_OK);
    EXPECT_EQ(Bytes(pdf).substr(0, 5), "%PDF-");

    // Print preview is answered and does nothing.
    const int loads = mView->GetWindowController()->GetWebView()->LoadCount();
    const KVD::COMPtr<IMessageHandler> handler(KVD::com_cast(mOpened.DocView()));
    EXPECT_EQ(Host::DeliverMessage(handler, kMsgId_PrintPreview, 0x40, Host::ParamBlock()), KVD_S_OK);
    // The view's own table answers it; a message it does not know goes on to the base.
    MsgEventTrigger preview(kMsgId_PrintPreview, 0x40);
    Generic* object = nullptr;
    const TableEntry* entry = mView->FindEntry(&preview, &object);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(object, reinterpret_cast<Generic*>(mView));
    MsgEventTrigger unknown(0x80010099, 0x40);
    EXPECT_EQ(mView->FindEntry(&unknown, &object), nullptr);
    EXPECT_EQ(mView->GetWindowController()->GetWebView()->LoadCount(), loads);
}

}  // namespace
