// The settings dialog's live preview, driven as a user would: the formula it puts on the host's
// virtual channel from the proposed settings, which changes recreate it and which re-set a
// formula, the unit prefix of its scales, the breaths it marks over the flow trace, the mode
// buttons, and the flow calculation's noise clamp it proposes and gives back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "DialogDocument.h"
#include "SettingsDialogHost.h"
#include "IEnumEventEx.h"
#include "SpiroDocumentHost.h"
#include "appkit/UserDriver.h"
#include "graphics/Image.h"
#include "host/commands/MenuModel.h"
#include "host/loader/ClassRegistration.h"
#include "host/synth/SyntheticBreathing.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpiroDialogs.h"
#include "trace/PolyLineTraceDrawer.h"
#include "views/dialogs/CalcDialogs.h"
#include "views/dialogs/SpSettingsDialog.h"

using namespace Spirometry;
using AppKit::UserDriver;

namespace {

constexpr uint32_t kReference = 0xC0000000u;

TChannelId Reference(int channel) { return TChannelId{channel, kReference}; }

TEST(SettingsPreviewFormula, NumbersAreTheShortestTextsThatReadBackInTheClassicLocale)
{
    EXPECT_EQ(SPPreview::FactorText(0.01), L"0.01");
    EXPECT_EQ(SPPreview::FactorText(10.0), L"10");
    EXPECT_EQ(SPPreview::FactorText(0.25), L"0.25");
    EXPECT_EQ(SPPreview::FactorText(1.0), L"1");
    EXPECT_EQ(SPPreview::FactorText(0.123456789), L"0.123456789");
    EXPECT_EQ(SPPreview::FactorText(0.1 + 0.2), L"0.30000000000000004");
    EXPECT_EQ(SPPreview::Expression(TChannelId{0, kReference}, TChannelId{1, kReference}, 0.5),
              L"SPEEVol(SpVol(Ch2), SPEEFlow(Ch1, 0.5))");
}

class SettingsPreview : public DialogTest::SettingsDialogHost {
protected:
    void OpenSettings(std::function<void(UserDriver&)> answer)
    {
        UserDriver::AnswerNextModal(std::move(answer));
        EXPECT_EQ(Host::MenuModel::Instance().Invoke("Spirometry|Settings"), KVD_S_OK);
    }
    static SpSettingsDialog& DialogOf(UserDriver& user)
    {
        return *dynamic_cast<SpSettingsDialog*>(user.GetWindow().Controller());
    }
    static SPPreview& PreviewOf(UserDriver& user) { return *DialogOf(user).Preview(); }
    KVD::String FormulaOn(TChannelId channel)
    {
        KVD::COMPtr<IOffLineData> offline;
        mData->Data().GetChannelCalculation(channel, offline.Set());
        KVD::String formula;
        if (KVD::COMPtr<IChannelCalc> calc{KVD::com_cast(offline.get())})
            calc->GetInfoString(0, KVD::String::Setter(formula));
        return formula;
    }
    // The flow level breath detection takes for a detection factor.
    double LevelOf(SPPreview& preview, double factor)
    {
        return doc->Machine().GetCycleDetectionLevel(preview.RecordData(), factor, 0);
    }
    int Generation(TChannelId channel) { return mData->Data().Virtual().Generation(channel.channel); }
    static std::vector<IOrrelRecordDrawer*> Drawers(SPPreview& preview)
    {
        std::vector<IOrrelRecordDrawer*> drawers;
        const OrrelDraw::ChannelPane& pane = preview.Pane()->GetChannelPane(0);
        for (int i = 0; i < pane.DrawerCount(); ++i)
            drawers.push_back(pane.Drawer(i));
        return drawers;
    }
    // The ticks of the events the preview's virtual channel gives over record 0.
    std::vector<int32_t> EventTicks(TChannelId channel)
    {
        KVD::COMPtr<IEnumEventEx> events;
        mData->Data().GetEventStream(channel, 0, KVDPosition{0, 0}, kRecordEndTick, events.Set());
        std::vector<int32_t> ticks;
        int32_t size = 0;
        if (events == nullptr || events->GetSizeofEvents(&size) != KVD_S_OK || size <= 0)
            return ticks;
        std::vector<uint8_t> buffer(size_t(size) * 16);
        for (;;) {
            uint32_t count = 0;
            int32_t position = 0;
            events->Next(uint32_t(buffer.size()), kRecordEndTick, buffer.data(), &count, &position);
            if (count == 0)
                return ticks;
            for (uint32_t i = 0; i < count; ++i) {
                int32_t tick = 0;
                std::memcpy(&tick, buffer.data() + size_t(i) * size_t(size), sizeof tick);
                ticks.push_back(tick);
            }
        }
    }
    // The flow calculation's noise clamp as the host holds it.
    NoiseFloorClamping FlowClamp()
    {
        KVD::COMPtr<IPersistObject> settings = CalculationSettings(mFlow);
        return SettingsOf<SpFlowSettings>(settings).mClamp;
    }
    void StoreClamp(double level, bool enabled)
    {
        SpConfig config = doc->Config();
        ASSERT_TRUE(doc->HmSpiroSettings2Change(config.mForcedExpirationThreshold, config.mCycleDetectionFactor,
                                                config.mNonForcedInReport, config.mSpFlowCalcChan,
                                                config.mSpVolCalcChan, config.mFlowUnitPrefix, level, enabled));
    }

};

TEST_F(SettingsPreview, ShowsTheSelectedRecordWithTheFormulaOfTheStoredSettings)
{
    const SpConfig stored = doc->Config();
    OpenSettings([&](UserDriver& user) {
        SPPreview& preview = PreviewOf(user);
        ASSERT_NE(preview.Pane(), nullptr);
        EXPECT_EQ(preview.Record(), 0);
        const TChannelId first = preview.FirstVirtualChannel();
        const TChannelId second = preview.SecondVirtualChannel();
        EXPECT_EQ(first.blockDataType, 4u);
        EXPECT_EQ(second.channel, first.channel + 1);
        EXPECT_EQ(FormulaOn(first), SPPreview::Expression(TChannelId{stored.mSpFlowCalcChan, kReference},
                                                          TChannelId{stored.mSpVolCalcChan, kReference},
                                                          LevelOf(preview, stored.mCycleDetectionFactor)));
        EXPECT_EQ(FormulaOn(second), L"VCh" + std::to_wstring(first.channel + 1));
        // Graticule, flow trace and events.
        EXPECT_EQ(Drawers(preview).size(), 3u);
        user.Click("Cancel");
    });
}

TEST_F(SettingsPreview, ADetectionChangeSetsTheFormulaOnceAndAForcedThresholdChangeDoesNotRecreate)
{
    OpenSettings([&](UserDriver& user) {
        SPPreview& preview = PreviewOf(user);
        const TChannelId first = preview.FirstVirtualChannel();
        const TChannelId second = preview.SecondVirtualChannel();
        const int firstBefore = Generation(first), secondBefore = Generation(second);
        // One valid number typed and the edit ended: the action and the helper both update,
        // and the second finds nothing to set.
        user.Enter("detectionEdit", "2");
        EXPECT_EQ(Generation(first), firstBefore + 1);
        EXPECT_EQ(Generation(second), secondBefore);  // it reads the first by name
        EXPECT_EQ(FormulaOn(first), SPPreview::Expression(Reference(1), Reference(2), LevelOf(preview, 2)));
        // Each valid number on the way is shown: 0.2, then 0.25.
        user.Type("detectionEdit", "0.25");
        EXPECT_EQ(Generation(first), firstBefore + 3);
        EXPECT_EQ(FormulaOn(first), SPPreview::Expression(Reference(1), Reference(2), LevelOf(preview, 0.25)));

        user.Type("forcedEdit", "3");
        const std::vector<IOrrelRecordDrawer*> drawers = Drawers(preview);
        const int settled = Generation(first);
        user.TypeKeys("5");
        user.Press(AppKit::Key::kReturn);
        EXPECT_EQ(Drawers(preview), drawers);
        EXPECT_EQ(Generation(first), settled);
        EXPECT_EQ(settled, firstBefore + 3);
        user.Click("Cancel");
    });
}

TEST_F(SettingsPreview, AnUpdateWithTheSameValuesRebuildsTheDrawersButSetsNoFormula)
{
    OpenSettings([&](UserDriver& user) {
        SPPreview& preview = PreviewOf(user);
        const SpConfig& edited = doc->Config();
        const int first = Generation(preview.FirstVirtualChannel());
        const int second = Generation(preview.SecondVirtualChannel());
        const std::vector<IOrrelRecordDrawer*> drawers = Drawers(preview);
        // Held, so that new drawers cannot take their addresses.
        const std::vector<KVD::COMPtr<IOrrelRecordDrawer>> held(drawers.begin(), drawers.end());
        preview.Update(edited.mSpFlowCalcChan, edited.mSpVolCalcChan, LevelOf(preview, edited.mCycleDetectionFactor), true);
        EXPECT_EQ(Generation(preview.FirstVirtualChannel()), first);
        EXPECT_EQ(Generation(preview.SecondVirtualChannel()), second);
        EXPECT_EQ(Drawers(preview).size(), 3u);
        EXPECT_NE(Drawers(preview), drawers);
        user.Click("Cancel");
    });
}

TEST_F(SettingsPreview, AUnitChangeLocksTheScaleToItsPrefixAndLeavesTheFormula)
{
    OpenSettings([&](UserDriver& user) {
        SPPreview& preview = PreviewOf(user);
        const OrrelDraw::ChannelPane& pane = preview.Pane()->GetChannelPane(0);
        EXPECT_EQ(pane.Prefix(kScaleLeft).prefix, kUnitPrefixUnity);
        const int first = Generation(preview.FirstVirtualChannel());
        const KVD::String formula = FormulaOn(preview.FirstVirtualChannel());
        user.Choose("flowUnitList", "mL/s");
        EXPECT_EQ(pane.Prefix(kScaleLeft).prefix, kUnitPrefixMilli);
        // The scale fits the trace, not all that the channel's storage could hold.
        const ChannelYDataRange range = preview.GetY(ExtLib::kSideLeft);
        EXPECT_GT(range.top, range.bottom);
        EXPECT_LT(std::abs(range.top) + std::abs(range.bottom), 1e6);
        EXPECT_EQ(Generation(preview.FirstVirtualChannel()), first);
        EXPECT_EQ(FormulaOn(preview.FirstVirtualChannel()), formula);
        // A detection change keeps the chosen prefix.
        user.Type("detectionEdit", "0.5");
        EXPECT_EQ(pane.Prefix(kScaleLeft).prefix, kUnitPrefixMilli);
        user.Choose("flowUnitList", "\u00B5L/s");
        EXPECT_EQ(pane.Prefix(kScaleLeft).prefix, kUnitPrefixMicro);
        user.Click("Cancel");
    });
}

TEST_F(SettingsPreview, TheModeButtonsOfThePreviewWork)
{
    OpenSettings([&](UserDriver& user) {
        SPPreview& preview = PreviewOf(user);
        user.Click("overlay");
        const ChannelYDataRange left = preview.GetY(ExtLib::kSideLeft);
        ASSERT_GT(left.top, left.bottom);
        user.Click("split");
        EXPECT_DOUBLE_EQ(preview.GetY(ExtLib::kSideLeft).bottom, left.bottom - (left.top - left.bottom));
        user.Click("Cancel");
    });
}

TEST_F(SettingsPreview, TheClampIsProposedToTheFlowCalculationAndGivenBackOnCancel)
{
    StoreClamp(0.05, false);
    ASSERT_FALSE(FlowClamp().enabled);
    const SpConfig before = doc->Config();
    OpenSettings([&](UserDriver& user) {
        user.Click("clampToFloor");
        user.Type("flowNoiseClampValue", "0.2");
        EXPECT_TRUE(FlowClamp().enabled);
        EXPECT_DOUBLE_EQ(FlowClamp().level, 0.2);
        user.Click("Cancel");
    });
    EXPECT_EQ(doc->Config(), before);
    EXPECT_FALSE(FlowClamp().enabled);
    EXPECT_DOUBLE_EQ(FlowClamp().level, 0.05);

    // Confirmed, the document's settings and the calculation agree.
    OpenSettings([&](UserDriver& user) {
        user.Click("clampToFloor");
        user.Type("flowNoiseClampValue", "0.2");
        user.Click("OK");
    });
    EXPECT_TRUE(doc->Config().mFlowNoiseClamp.enabled);
    EXPECT_TRUE(FlowClamp().enabled);
    EXPECT_DOUBLE_EQ(FlowClamp().level, 0.2);
}

// The breaths of SpiroTest::SmallBreathing(), as its generator made them.
std::vector<Host::SyntheticBreath> SmallBreaths()
{
    return Host::SyntheticBreathing(SpiroTest::SmallBreathingOptions()).Breaths();
}

// The flow channel's colour, the host's blue (0, 64, 255).
bool IsTraceBlue(uint32_t p)
{
    return (p >> 16 & 0xFF) < 90 && (p >> 8 & 0xFF) < 130 && (p & 0xFF) > 200;
}

bool IsMarkGrey(uint32_t p)
{
    const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
    return r < 190 && std::abs(r - g) < 24 && std::abs(g - b) < 24;
}

TEST_F(SettingsPreview, MarksTheBreathsOverTheFlowTrace)
{
    const std::vector<Host::SyntheticBreath> breaths = SmallBreaths();
    ASSERT_EQ(breaths.size(), 5u);
    OpenSettings([&](UserDriver& user) {
        // A level of 0.1 L/s: every breath of the recording reaches it.
        user.Enter("detectionEdit", "0.1");
        const std::vector<int32_t> ticks = EventTicks(PreviewOf(user).FirstVirtualChannel());
        ASSERT_EQ(ticks.size(), breaths.size());
        for (size_t i = 0; i < ticks.size(); ++i)
            EXPECT_NEAR(ticks[i], breaths[i].start * 100, 2) << "breath " << i;

        EXPECT_TRUE(user.Snapshot(DialogTest::PicturePath("SettingsPreview")));
        const std::string plain = DialogTest::PicturePath("SettingsPreviewPlain");
        ASSERT_TRUE(user.GetWindow().RenderToPng(plain));
        const Gfx::Image image = Gfx::Image::FromPNG(plain);
        const AppKit::Rect pane = DialogOf(user).previewView->Frame();
        // Inside the pane, clear of the mode buttons' strip, the y-scale's labels and the time scale.
        const int left = int(pane.x) + 100, right = int(pane.x + pane.width) - 2;
        const int top = int(pane.y) + 30, bottom = int(pane.y + pane.height) - 40;
        int blue = 0;
        std::vector<int> marks;
        for (int x = left; x < right; ++x) {
            int grey = 0;
            for (int y = top; y < bottom; ++y) {
                blue += IsTraceBlue(image.Pixel(x, y));
                grey += IsMarkGrey(image.Pixel(x, y));
            }
            // A dotted line down the pane, one dot in four, smoothed over two columns.
            if (grey > (bottom - top) / 6 && (marks.empty() || x > marks.back() + 2))
                marks.push_back(x);
        }
        EXPECT_GT(blue, 400);
        ASSERT_EQ(marks.size(), ticks.size());
        // At 10 ticks per pixel the marks lie as far apart as the breaths.
        for (size_t i = 1; i < marks.size(); ++i)
            EXPECT_NEAR(marks[i] - marks[0], (ticks[i] - ticks[0]) / 10.0, 2) << "mark " << i;
        user.Click("Cancel");
    });
}

TEST_F(SettingsPreview, MarksTheBreathsDetectionFindsWithTheSameFactorInEveryUnit)
{
    for (const char* unit : {"L/s", "mL/s", "\u00B5L/s"}) {
        std::vector<size_t> marked;
        std::vector<size_t> found;
        for (const char* factor : {"0.1", "5", "10"}) {
            OpenSettings([&](UserDriver& user) {
                user.Choose("flowUnitList", unit);
                user.Enter("detectionEdit", factor);
                marked.push_back(EventTicks(PreviewOf(user).FirstVirtualChannel()).size());
                user.Click("OK");
            });
            doc->FigureSpiroFactsAndFigures(true, true);
            found.push_back(doc->Machine().Breaths().GetCount());
        }
        EXPECT_EQ(marked, found) << unit;
        // The factors tell breaths apart: the largest leaves some out.
        EXPECT_LT(found.back(), found.front()) << unit;
    }
}

// The pane pixel at which the preview's flow trace puts a flow in L/s.
double PixelOf(const OrrelDraw::PolyLineTraceDrawer& trace, double flow)
{
    return (flow + trace.GetScaling().offset) * trace.GetScaling().scale;
}

// The rows of the preview's pane that its blue trace reaches, top and bottom.
std::pair<int, int> TraceRows(UserDriver& user, const AppKit::Rect& pane, const std::string& name)
{
    const std::string path = DialogTest::PicturePath(name);
    if (!user.GetWindow().RenderToPng(path))
        return {0, 0};
    const Gfx::Image image = Gfx::Image::FromPNG(path);
    int top = image.Height(), bottom = -1;
    // Clear of the scale's band and its blue indicator, and of the mode buttons.
    for (int x = int(pane.x) + 120; x < int(pane.x + pane.width) - 2; ++x)
        for (int y = int(pane.y); y < int(pane.y + pane.height) - 30; ++y)
            if (IsTraceBlue(image.Pixel(x, y))) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return {top, bottom};
}

TEST_F(SettingsPreview, TheScaleReadsTheTraceInTheChosenUnit)
{
    double lowest = 0, highest = 0;
    for (const Host::SyntheticBreath& breath : SmallBreaths()) {
        lowest = std::min(lowest, -breath.pef);
        highest = std::max(highest, breath.pif);
    }
    ASSERT_LT(lowest, -2.0);
    struct Case {
        const char* title;
        double factor;
        const char* picture;
    };
    std::vector<std::pair<int, int>> rows;
    for (const Case& c : {Case{"L/s", 1.0, "SettingsPreviewL"}, Case{"mL/s", 1e3, "SettingsPreviewMilli"},
                          Case{"\u00B5L/s", 1e6, "SettingsPreviewMicro"}}) {
        OpenSettings([&](UserDriver& user) {
            user.Choose("flowUnitList", c.title);
            SPPreview& preview = PreviewOf(user);
            const OrrelDraw::ChannelPane& pane = preview.Pane()->GetChannelPane(0);
            IScale* scale = pane.ScaleOf(kScaleLeft);
            ASSERT_NE(scale, nullptr);
            KVD::String units;
            {
                KVD::String::Setter out(units);
                scale->GetUnitsText(out);
            }
            EXPECT_EQ(KVD::ToU8String(units), c.title);
            // The scale's own values, which its labels show: the flow fitted, in the unit.
            double top = 0, bottom = 0;
            ASSERT_EQ(scale->GetRange(&top, &bottom), KVD_S_OK);
            EXPECT_NEAR(bottom, lowest * c.factor, 0.05 * std::abs(lowest) * c.factor) << c.title;
            EXPECT_NEAR(top, highest * c.factor, 0.05 * std::abs(lowest) * c.factor) << c.title;
            // The trace fills the pane: its lowest flow at the bottom, its highest at the top.
            const auto* trace = dynamic_cast<const OrrelDraw::PolyLineTraceDrawer*>(Drawers(preview)[1]);
            ASSERT_NE(trace, nullptr);
            const double height = pane.GetPaneRect().Height();
            EXPECT_NEAR(PixelOf(*trace, lowest), height, 0.05 * height) << c.title;
            EXPECT_NEAR(PixelOf(*trace, highest), 0.0, 0.05 * height) << c.title;
            // The preview's range in and out stays in litres per second.
            EXPECT_NEAR(preview.GetY(ExtLib::kSideLeft).bottom, lowest, 0.05 * std::abs(lowest)) << c.title;
            EXPECT_TRUE(user.Snapshot(DialogTest::PicturePath(c.picture)));
            rows.push_back(TraceRows(user, DialogOf(user).previewView->Frame(), std::string(c.picture) + "Plain"));
            user.Click("Cancel");
        });
    }
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_GT(rows[0].second - rows[0].first, 100);
    for (const std::pair<int, int>& r : rows) {
        EXPECT_NEAR(r.first, rows[0].first, 2);
        EXPECT_NEAR(r.second, rows[0].second, 2);
    }
}

TEST_F(SettingsPreview, ARangeWithoutEndsLeavesTheScale)
{
    ChannelYDataRange range{1, -1};
    EXPECT_FALSE(SpSettingsDialog::FlowScaleRange(nullptr, mFlow, range));
    EXPECT_EQ(range.top, 1);
    EXPECT_EQ(range.bottom, -1);
}

}  // namespace
