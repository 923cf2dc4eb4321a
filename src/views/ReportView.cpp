#include "views/ReportView.h"

#include <locale>
#include <string>

#include "FrameworkIds.h"
#include "IObserver.h"
#include "ISpiroDocument.h"
#include "foundation/StringKeys.h"
#include "foundation/cocoa/CocoaUtilities.h"
#include "foundation/units/UnitPrefixScaling.h"
#include "plot/MacPrintJob.h"
#include "spirometry/SpiroDocument.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"
#include "views/SpiroReportWindow.h"

namespace Spirometry {

tagSIZE kMinViewSize;

namespace {

// The host's view commands arrive as messages without parameters.
constexpr MsgFlags kViewCommandFlags = 0x40;
typedef MsgData0<StaticMsgIdClass<kMsgId_Copy>, kViewCommandFlags> ViewCopyMsg;
typedef MsgData0<StaticMsgIdClass<kMsgId_Print>, kViewCommandFlags> ViewPrintMsg;
typedef MsgData0<StaticMsgIdClass<kMsgId_PrintPreview>, kViewCommandFlags> ViewPrintPreviewMsg;
typedef EventIdClass<&CLSID_OrrelDocument, 0u> SelectionChangedEventId;
typedef EventIdClass<&CLSID_OrrelDocument, 4u> DataChangedEventId;
typedef StaticTypeIdClass<kEventId_HostViewEvent> SizingEventId;
typedef EventIdClass<&SpiroDocumentGUID, 0u> SettingsChangedEventId;

// The position-to-text call's fixed words, and the style words of the time origins.
constexpr uint32_t kTimeTextFormat = 0x801E0000;
constexpr uint32_t kStyle = 0x10000000;
constexpr uint32_t kStyleFromRecordingStart = 0x10800000;
constexpr int32_t kTimeOriginRecordingStart = 3;
constexpr uint32_t kResolveFlags = 0xC0000000;
constexpr double kPerMinute = BreathFigures::kPerMinute;

const struct MinViewSizeInit {
    MinViewSizeInit() { kMinViewSize = tagSIZE{300, 200}; }
} sMinViewSizeInit;

std::wstring Wide(const KVD::String& text)
{
    return std::wstring(text.c_str(), text.length());
}

// The end of a record stands for itself; other positions are left as they are.
KVDPosition Resolved(IRecordData* records, KVDPosition position)
{
    if (position.tick == kRecordEndTick && records != nullptr)
        records->ResolvePosition(kResolveFlags, &position);
    return position;
}

}  // namespace

CAF_DEFINE_RESPONSE_TABLE(ReportView, ViewBase) = {
    TableHeader(),
    ResponseTable::Message<ReportView, ViewCopyMsg>(&ReportView::HmViewCopy, 0xFFFF),
    ResponseTable::Message<ReportView, ViewPrintMsg>(&ReportView::HmViewPrint),
    ResponseTable::Message<ReportView, ViewPrintPreviewMsg>(&ReportView::HmViewPrintPreview),
    ResponseTable::Event<ReportView>(&SelectionChangedEventId::GetId, &ReportView::OnSelectionChanged),
    ResponseTable::Event<ReportView>(&DataChangedEventId::GetId, &ReportView::OnSelectionChanged),
    ResponseTable::Event<ReportView>(&SizingEventId::GetId, &ReportView::OnSizing),
    ResponseTable::Event<ReportView>(&SettingsChangedEventId::GetId, &ReportView::OnSelectionChanged),
    TableEnd(),
};

ReportView::ReportView(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document,
                       NSBundle* bundle)
    : KVD::WebViewBase(parent, viewClass, docView, document, bundle),
      mAutoDocument(KVD::com_cast(GetRootDocument()))
{
    const KVD::COMPtr<ISpiroDocument> spiro(KVD::com_cast(document));
    mSpiroDocument = dynamic_cast<SpiroDocument*>(spiro.get());
    if (mSpiroDocument != nullptr)
        mRecordData = mSpiroDocument->GetRecordData();
    ObserveDocuments(document);
}

ReportView::~ReportView() = default;

// The host document raises the selection and data events, the spirometry document its
// settings event.
void ReportView::ObserveDocuments(IDocument* document)
{
    const KVD::COMPtr<ISubject> root(KVD::com_cast(GetRootDocument()));
    const KVD::COMPtr<ISubject> own(KVD::com_cast(document));
    ObserveEvents(root);
    if (own != root)
        ObserveEvents(own);
}

const KVD::String& ReportView::GetStaticViewName()
{
    static const KVD::String name(KVDGetMyBundle(), SpirometryStr::IDS_SPIROMETRY_REPORT, true);
    return name;
}

KVD::String ReportView::Edit_CopyToClipboardMenuText() const
{
    static const KVD::String text(KVDGetMyBundle(), SpirometryStr::IDS_COPY_REPORT, true);
    return text;
}

KVD::String ReportView::File_PrintMenuText() const
{
    static const KVD::String text(KVDGetMyBundle(), SpirometryStr::IDS_PRINT_REPORT, true);
    return text;
}

std::shared_ptr<SPIRO_KVDHTMLWindow> ReportView::CreateWindowController()
{
    return std::make_shared<SpiroReportWindow>(this);
}

void ReportView::SetupWindow()
{
    KVD::WebViewBase::SetupWindow();
    if (mSpiroDocument != nullptr)
        mSpiroDocument->FigureSpiroFactsAndFigures(true, true);
    LoadHTML(192, L"Report", mReport);
    LoadHTML(193, L"Report_Summary", mReportSummary);
    LoadHTML(194, L"Report_Summary_Normal", mReportSummaryNormal);
    LoadHTML(195, L"Report_Breath_Normal", mReportBreathNormal);
    LoadHTML(196, L"Report_Breath_Forced", mReportBreathForced);
    LoadHTML(197, L"Report_Breath_Single", mReportBreathSingle);
    SubstituteHTML(mReport, mPage);
    SetHTML(mPage);
}

bool ReportView::LoadHTML(int, const wchar_t* name, KVD::String& out) const
{
    return LoadHTMLFromResource(GetBundle(), KVD::String(name), out);
}

void ReportView::SetHTML(const KVD::String& html)
{
    LoadHTMLString(html, KVD::String(L""));
}

void ReportView::OnSelectionChanged()
{
    SubstituteHTML(mReport, mPage);
    SetHTML(mPage);
}

void ReportView::OnSizing(unsigned int, const tagRECT*, tagSIZE* size)
{
    if (size != nullptr)
        *size = kMinViewSize;
}

bool ReportView::HmViewCopy()
{
    copyToPasteboard();
    return true;
}

bool ReportView::HmViewPrint()
{
    printToPDF();
    return true;
}

void ReportView::copyToPasteboard()
{
    const KVD::String page = mPage;
    SPIRO_KVDHTMLWindow* controller = GetWindowController();
    CopyToPasteboard(controller != nullptr ? controller->GetWebView() : nullptr, &page);
}

void ReportView::printToPDF()
{
    // The whole-window job has run by the time it is made.
    KVD::COMPtr<KVD::MacPrintJob>::Take(KVD::CreateMacPrintJob(GetWindowController(), false));
}

ReportView::Format ReportView::MakeFormat(const KVD::String& text)
{
    // Numbers as the CSV report writes them, whatever the program's locale.
    Format format(Wide(text), std::locale::classic());
    format.exceptions(boost::io::all_error_bits ^ boost::io::too_many_args_bit);
    return format;
}

void ReportView::SubstituteHTML(const KVD::String& main, KVD::String& out) const
{
    KVD::String reason;
    if (mSpiroDocument == nullptr || !mSpiroDocument->ValidSelection(false, false, &reason)) {
        out = reason;
        return;
    }
    const SpiroMachine& machine = mSpiroDocument->Machine();
    try {
        Format format = MakeFormat(main);
        SubstituteSettings(format, machine);
        SubstituteSelection(format, machine);
        SubstituteBreaths(format, machine);
        SubstituteSummary(format, machine);
        out = KVD::String(format.str());
    } catch (const boost::io::format_error&) {
        out = main;
    }
}

void ReportView::SubstituteSettings(Format& format, const SpiroMachine&) const
{
    const SpConfig& config = mSpiroDocument->Config();
    format % int(config.mSpFlowCalcChan + 1) % int(config.mSpVolCalcChan + 1) % config.mCycleDetectionFactor %
        config.mForcedExpirationThreshold;
}

KVD::String ReportView::PositionText(KVDPosition position, uint32_t style, int32_t mode) const
{
    KVD::String text;
    if (mAutoDocument != nullptr)
        mAutoDocument->PositionToText(0, kTimeTextFormat, 0, position, style, mode, KVD::String::Setter(text));
    return text;
}

void ReportView::SubstituteSelection(Format& format, const SpiroMachine& machine) const
{
    const BreathList& breaths = machine.Breaths();
    const KVDPosition start = machine.GetStartPos();
    const KVDPosition end = Resolved(mRecordData, machine.GetEndPos());
    const KVDPosition firstBreath = breaths.GetCount() > 0 ? breaths[0]->start : start;
    const KVDPosition lastBreath =
        Resolved(mRecordData, breaths.GetCount() > 0 ? breaths[breaths.GetCount() - 1]->end : end);
    int32_t mode = 0;
    if (mAutoDocument != nullptr)
        mAutoDocument->GetTimeDisplayMode(&mode);
    const uint32_t style = (mode & 0xFF) == kTimeOriginRecordingStart ? kStyleFromRecordingStart : kStyle;
    format % int(start.record + 1) % Wide(PositionText(start, style, mode)) % int(end.record + 1) %
        Wide(PositionText(end, style, mode)) % Wide(PositionText(firstBreath, style, mode)) %
        Wide(PositionText(lastBreath, style, mode));
}

void ReportView::SubstituteBreaths(Format& format, const SpiroMachine& machine) const
{
    mOtherCount = 0;
    mNormal = NonForcedSums();
    mOtherDuration = 0.0f;
    const bool normalShown = mSpiroDocument->Config().mNonForcedInReport;
    const BreathList& breaths = machine.Breaths();
    std::wstring rows;
    for (unsigned i = 0; i < breaths.GetCount(); ++i) {
        const Breath& breath = *breaths[i];
        const BreathFigures figures = Figures(breath);
        if (breath.forced) {
            ++mOtherCount;
            mOtherDuration += figures.duration;
            rows += Wide(SubstituteForcedBreath(long(i), breath));
        } else if (breath.excluded) {
            ++mOtherCount;
            mOtherDuration += figures.duration;
            rows += Wide(SubstituteSingleBreath(long(i), breath));
        } else {
            mNormal.Add(figures);
            if (normalShown)
                rows += Wide(SubstituteNormalBreath(long(i), breath));
        }
    }
    format % rows;
}

void ReportView::SubstituteSummary(Format& format, const SpiroMachine& machine) const
{
    Format summary = MakeFormat(mReportSummary);
    summary % double(mOtherDuration + mNormal.duration) % double(mNormal.duration) %
        long(machine.Breaths().GetCount()) % long(mNormal.count);
    std::wstring text = summary.str();
    if (mNormal.count > 0) {
        // A zero duration sum gives no rate: 0 rather than infinity.
        const bool timed = mNormal.duration > 0.0f;
        const float perSecond = timed ? mNormal.VolumePerSecond() : 0.0f;
        const float rate = mNormal.Frequency();
        const std::wstring p = PrefixLetter();
        Format normal = MakeFormat(mReportSummaryNormal);
        normal % double(perSecond) % p % (double(perSecond) * kPerMinute) % p % double(mNormal.AverageVolume()) % p %
            double(rate) % (double(rate) * kPerMinute);
        text += normal.str();
    }
    format % text;
}

BreathFigures ReportView::Figures(const Breath& breath) const
{
    return BreathFigures::Of(*mSpiroDocument, breath, Scale());
}

void ReportView::SubstituteBreathCommon(Format& format, long index, const Breath& breath) const
{
    const BreathFigures f = Figures(breath);
    format % (index + 1) % double(f.ti) % double(f.te) % double(f.duration);
}

void ReportView::SubstituteForcedCommon(Format& format, const Breath& breath) const
{
    const BreathFigures f = Figures(breath);
    const std::wstring p = PrefixLetter();
    const double fev1 = f.hasFev1 ? double(f.fev1) : 0.0;
    // A breath without volume has no ratio: 0 rather than infinity or nan.
    const double ratio = f.hasFev1 && f.volume != 0.0f ? f.Fev1Percent() : 0.0;
    format % double(f.pef) % p % f.PefPerMinute() % p % double(f.volume) % p % fev1 % p % ratio;
}

KVD::String ReportView::SubstituteNormalBreath(long index, const Breath& breath) const
{
    Format row = MakeFormat(mReportBreathNormal);
    SubstituteBreathCommon(row, index, breath);
    row % double(Figures(breath).volume) % PrefixLetter();
    return KVD::String(row.str());
}

KVD::String ReportView::SubstituteForcedBreath(long index, const Breath& breath) const
{
    Format row = MakeFormat(mReportBreathForced);
    SubstituteBreathCommon(row, index, breath);
    const BreathFigures f = Figures(breath);
    const std::wstring p = PrefixLetter();
    row % double(f.pif) % p % f.PifPerMinute() % p;
    SubstituteForcedCommon(row, breath);
    return KVD::String(row.str());
}

KVD::String ReportView::SubstituteSingleBreath(long index, const Breath& breath) const
{
    Format row = MakeFormat(mReportBreathSingle);
    SubstituteBreathCommon(row, index, breath);
    SubstituteForcedCommon(row, breath);
    return KVD::String(row.str());
}

double ReportView::Scale() const
{
    return UnitPrefixScaling::sScalingFromPrefix(UnitPrefix(mSpiroDocument->Config().mFlowUnitPrefix));
}

std::wstring ReportView::PrefixLetter() const
{
    return Wide(UnitPrefixScaling::sStringFromPrefix(UnitPrefix(mSpiroDocument->Config().mFlowUnitPrefix)));
}

}  // namespace Spirometry
