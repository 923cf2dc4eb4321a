// Small plot views as the spirometry views derive them: a window controller that puts each
// plot's page in its frame of the window and tells the view of every loaded frame, and views
// with one plot, two plots and an XY plot that record what they are asked to do.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "framework/KVDDocViewWindowController.h"
#include "plot/LumoViewSingle.h"
#include "plot/LumoViewXY.h"

namespace PlotTest {

// The window's layout has a frame view per plot, outlets "plot1" and "plot2".
class TestPlotWindow : public SPIRO_KVDDocViewWindowController {
public:
    static constexpr const char* kNibName = "TestPlotWindow";
    static constexpr const char* kLayout =
        "<window title='Plots' width='600' height='400'>"
        "<view outlet='plot1' frame='0 0 600 200'/><view outlet='plot2' frame='0 200 600 200'/></window>";

    TestPlotWindow(KVD::LumoViewBase* view, std::vector<KVD::LumoPlotMac*> plots, std::string page)
        : SPIRO_KVDDocViewWindowController(kNibName, view), mPlots(std::move(plots)), mPage(std::move(page))
    {
    }

    bool SetOutlet(const std::string& name, AppKit::View* view) override;
    // The pages load once the window is the controller's.
    void WindowDidLoad() override;
    void OnFrameLoaded(const Web::WebFrame& frame) override;

private:
    std::vector<KVD::LumoPlotMac*> mPlots;
    std::vector<AppKit::View*> mFrames{nullptr, nullptr};
    std::string mPage;
};

// What every test view records.
struct ViewLog {
    std::vector<uint32_t> updates;  // the flags of each UpdatePlots
    std::vector<std::string> clicks;
};

// Serves the pages until each plot has a time plot drawn, for at most that long; false when
// the time ran out.
bool WaitUntilDrawn(std::initializer_list<KVD::LumoPlotMac*> plots, double seconds);

// The page the views load: the plot page unless a test says otherwise.
std::string& TestPage();

class TestSingleView : public KVD::LumoViewSingle {
public:
    TestSingleView(TWindow* parent, IDocViewClass* cls, IDocView* docView, IDocument* document, NSBundle* bundle)
        : KVD::LumoViewSingle(parent, cls, docView, document, bundle)
    {
    }
    ~TestSingleView() override;
    KVD::String Edit_CopyToClipboardMenuText() const override { return KVD::String(L"Copy Plot"); }
    KVD::String File_PrintMenuText() const override { return KVD::String(L"Print Plot..."); }
    SPIRO_KVDDocViewWindowController* GetWindowController() const override { return mWindow.get(); }
    KVD::String GetViewName() const override { return KVD::String(L"Test Plot"); }
    bool CreateWindowController() override;
    void CleanupWindowController() override { mWindow.reset(); }
    // Records the flags; with a markup of the test's, sends it with the sine source "$first".
    void UpdatePlots(uint32_t flags) override;
    KVD::String GetPlotId() const override { return KVD::String(L"single_plot"); }

    ViewLog log;
    // The markup the views of this class send; none unless a test sets it.
    static KVD::String& Markup();
    // The length of the sine source "$first" (2000 unless set).
    static unsigned& SampleCount();

private:
    std::shared_ptr<TestPlotWindow> mWindow;
};

class TestDoubleView : public KVD::LumoViewDouble {
public:
    static const wchar_t* const kViewName;

    TestDoubleView(TWindow* parent, IDocViewClass* cls, IDocView* docView, IDocument* document, NSBundle* bundle)
        : KVD::LumoViewDouble(parent, cls, docView, document, bundle)
    {
    }
    ~TestDoubleView() override;
    KVD::String Edit_CopyToClipboardMenuText() const override { return KVD::String(L"Copy Plots"); }
    KVD::String File_PrintMenuText() const override { return KVD::String(L"Print Plots..."); }
    SPIRO_KVDDocViewWindowController* GetWindowController() const override { return mWindow.get(); }
    KVD::String GetViewName() const override { return KVD::String(kViewName); }
    bool CreateWindowController() override;
    void CleanupWindowController() override { mWindow.reset(); }
    // Sources: the document's first two channels as ramps; markup: a time plot of each in its
    // channel's colour.
    void UpdatePlots(uint32_t flags) override;
    KVD::String GetPlotId1() const override { return KVD::String(L"first_plot"); }
    KVD::String GetPlotId2() const override { return KVD::String(L"second_plot"); }

    ViewLog log;
    // Samples of each plot's source.
    static unsigned& SampleCount();
    // Whether the plots' x ranges take all of them (else the page's first second).
    static bool& ShowAll();

private:
    std::shared_ptr<TestPlotWindow> mWindow;
};

class TestXYView : public KVD::LumoViewXY {
public:
    TestXYView(TWindow* parent, IDocViewClass* cls, IDocView* docView, IDocument* document, NSBundle* bundle)
        : KVD::LumoViewXY(parent, cls, docView, document, bundle)
    {
    }
    ~TestXYView() override;
    KVD::String Edit_CopyToClipboardMenuText() const override { return KVD::String(L"Copy Loop"); }
    KVD::String File_PrintMenuText() const override { return KVD::String(L"Print Loop..."); }
    SPIRO_KVDDocViewWindowController* GetWindowController() const override { return mWindow.get(); }
    KVD::String GetViewName() const override { return KVD::String(L"Test Loop"); }
    bool CreateWindowController() override;
    void CleanupWindowController() override { mWindow.reset(); }
    KVD::String GetPlotId() const override { return KVD::String(L"Loop"); }

    KVD::String GetMarkup() const override { return KVD::String(L"xy: {id: 'Loop'}"); }
    void GetScaleRanges(ChannelYDataRange& x, ChannelYDataRange& y) const override;
    KVD::String GetEnumXId() const override { return KVD::String(L"$x"); }
    KVD::String GetEnumYId() const override { return KVD::String(L"$y"); }
    int GetDrawType() const override { return drawType; }
    void CreateEnum(const KVD::String& xId, const KVD::String& yId, IEnumFloatEx** x, IEnumFloatEx** y) override;
    void DoPointClicked(const wchar_t* dataId, const wchar_t* label, bool select) override;

    ViewLog log;
    int drawType = 0;
    ChannelYDataRange xRange{4, 1}, yRange{8, -8};
    int enumsMade = 0;

private:
    std::shared_ptr<TestPlotWindow> mWindow;
};

}  // namespace PlotTest
