// The settings dialog's preview monitoring a simulated flow head for a minute and a half of the
// virtual clock, a frame every five seconds as a user taking snapshots sees it: once the live
// record is wider than the pane, every frame's trace reaches the pane's right edge, the breaths
// found since the first frame are marked, and the controls under the preview are drawn whole.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "SettingsDialogHost.h"
#include "appkit/RunLoop.h"
#include "appkit/UserDriver.h"
#include "graphics/Image.h"
#include "host/commands/MenuModel.h"
#include "host/data/Adopt.h"
#include "host/sampling/SimulatedDeviceManager.h"
#include "trace/PreviewMasterView.h"
#include "views/dialogs/SPPreview.h"
#include "views/dialogs/SpSettingsDialog.h"

using AppKit::UserDriver;

namespace {

// The flow channel's colour, the host's blue (0, 64, 255).
bool IsTraceBlue(uint32_t p)
{
    return (p >> 16 & 0xFF) < 90 && (p >> 8 & 0xFF) < 130 && (p & 0xFF) > 200;
}

// The dotted line of a breath mark.
bool IsMarkGrey(uint32_t p)
{
    const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
    return r < 190 && std::abs(r - g) < 24 && std::abs(g - b) < 24;
}

// The outline every control of the widget model draws around itself.
bool IsControlBorder(uint32_t p)
{
    const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
    return std::abs(r - 115) < 20 && r == g && g == b;
}

struct Area {
    int left, top, right, bottom;
};

class SettingsPreviewLive : public DialogTest::SettingsDialogHost {
protected:
    void SetUp() override
    {
        SettingsDialogHost::SetUp();
        AppKit::RunLoop::Main().UseVirtualClock(true);
        Host::SyntheticOptions breathing;
        breathing.rate = 100;
        manager = Host::Adopt(
            Host::SimulatedDeviceManager::Create(std::make_shared<Host::BreathingSource>(breathing, 1)));
        mData->Document().SetDeviceManager(manager.get());
    }
    void TearDown() override
    {
        manager->Stop(0);
        mData->Document().SetDeviceManager(nullptr);
        AppKit::RunLoop::Main().UseVirtualClock(false);
        SettingsDialogHost::TearDown();
    }

    void OpenSettings(std::function<void(UserDriver&)> answer)
    {
        UserDriver::AnswerNextModal(std::move(answer));
        EXPECT_EQ(Host::MenuModel::Instance().Invoke("Spirometry|Settings"), KVD_S_OK);
    }
    static Spirometry::SpSettingsDialog& DialogOf(UserDriver& user)
    {
        return *dynamic_cast<Spirometry::SpSettingsDialog*>(user.GetWindow().Controller());
    }
    // The flow trace's pane in the window's picture.
    static Area TraceArea(UserDriver& user)
    {
        const TRect pane = DialogOf(user).Preview()->Pane()->GetChannelPane(0).GetPaneRect();
        const AppKit::Rect r = user.Find("dataPaneView").ConvertRectToWindow(
            AppKit::Rect{double(pane.left), double(pane.top), double(pane.Width()), double(pane.Height())});
        return Area{int(r.x), int(r.y), int(r.x + r.width), int(r.y + r.height)};
    }
    // The frame a user's snapshot takes now.
    static Gfx::Image Frame(UserDriver& user, const std::string& name)
    {
        const std::string path = DialogTest::PicturePath(name);
        EXPECT_TRUE(user.GetWindow().RenderToPng(path));
        return Gfx::Image::FromPNG(path);
    }
    static int Count(const Gfx::Image& image, const Area& a, bool (*is)(uint32_t))
    {
        int n = 0;
        for (int y = a.top; y < a.bottom; ++y)
            for (int x = a.left; x < a.right; ++x)
                n += is(image.Pixel(x, y));
        return n;
    }
    // The columns of the area that a breath mark's dotted line runs down.
    static std::vector<int> Marks(const Gfx::Image& image, const Area& a)
    {
        std::vector<int> marks;
        for (int x = a.left; x < a.right; ++x) {
            const int grey = Count(image, Area{x, a.top, x + 1, a.bottom}, IsMarkGrey);
            if (grey > (a.bottom - a.top) / 6 && (marks.empty() || x > marks.back() + 2))
                marks.push_back(x);
        }
        return marks;
    }

    KVD::COMPtr<Host::SimulatedDeviceManager> manager;
};

TEST_F(SettingsPreviewLive, FramesAfterThePaneFilledShowTheNewestFlowAndTheBreathsFoundSince)
{
    OpenSettings([&](UserDriver& user) {
        user.Enter("detectionEdit", "0.1");
        user.Click("monitor");
        ASSERT_TRUE(manager->IsSampling());
        int second = 0;
        for (; second < 45; second += 5) {
            AppKit::RunLoop::Main().Advance(5.0);
            Frame(user, "SettingsPreviewLive");
        }
        // Ten pixels a second: the record is wider than the pane from here on.
        const Area area = TraceArea(user);
        ASSERT_LT(area.right - area.left, second * 10);
        for (; second < 90; second += 5) {
            AppKit::RunLoop::Main().Advance(5.0);
            const Gfx::Image image = Frame(user, "SettingsPreviewLive" + std::to_string(second + 5));
            // The newest second of flow at the right edge, even where the flow rests at zero.
            EXPECT_GT(Count(image, Area{area.right - 8, area.top, area.right, area.bottom}, IsTraceBlue), 8)
                << second + 5 << " s";
            // The pane shows the last 44 s or so: every breath marked there was found after the
            // first frames.
            if (second + 5 >= 60) {
                EXPECT_GE(Marks(image, Area{area.left + 2, area.top + 12, area.right - 2, area.bottom}).size(), 3u)
                    << second + 5 << " s";
            }
        }
        user.Click("Cancel");
    });
}

TEST_F(SettingsPreviewLive, TheControlsUnderThePreviewAreDrawnWhole)
{
    OpenSettings([&](UserDriver& user) {
        user.Click("monitor");
        AppKit::RunLoop::Main().Advance(50.0);
        const Gfx::Image image = Frame(user, "SettingsPreviewControls");
        for (const char* name : {"zoomControl", "previewControl", "split", "overlay", "sourceOnly"}) {
            const AppKit::View& control = user.Find(name);
            const AppKit::Rect r = control.ConvertRectToWindow(control.Bounds());
            // Its outline's bottom row, along at least half the control.
            const int bottom = int(r.y + r.height) - 1;
            const int outline = Count(image, Area{int(r.x), bottom, int(r.x + r.width), bottom + 1}, IsControlBorder);
            EXPECT_GT(outline, int(r.width) / 2) << name;
            // Inside the preview, so that its bottom rows take clicks too.
            const AppKit::View& preview = *DialogOf(user).previewView;
            const AppKit::Rect outer = preview.ConvertRectToWindow(preview.Bounds());
            EXPECT_LE(r.y + r.height, outer.y + outer.height) << name;
        }
        user.Click("Cancel");
    });
}

}  // namespace
