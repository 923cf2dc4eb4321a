// Plot state through a live page in headless Chromium: the user drags a legend and a text
// region and zooms in to three milliseconds; the host stores what the page reports, and a plot
// opened again from the stored document shows the boxes and the range exactly where they were.
#include <gtest/gtest.h>

#include <string>

#include "LumoEventLog.h"
#include "appkit/View.h"
#include "host/document/HostDocument.h"
#include "plot/LumoHtml.h"
#include "plot/LumoPersistTask.h"
#include "plot/LumoProxyMac.h"
#include "plot/LumoViewController.h"
#include "plot/ScriptCalls.h"
#include "support/FakeStreams.h"
#include "web/Browser.h"

namespace PlotTest {
namespace {

using KVD::LumoPersistTask;
using KVD::String;

const char* const kMarkup =
    "tplot: {id: 'flow', name: 'Flow', xdata: [0:1:end], ydata: '$a' [0:1:4999], colour: #c81e1eff}, "
    "legend: { id: 'L1' }, text_region: { id: 'T1', text: 'note' }";

class LivePersist : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
        host = Host::HostDocument::Create(L"Recording");
        proxy = new KVD::LumoProxyMac(nullptr, true);
        proxy->AddRef();
        controller = std::make_unique<KVD::LumoViewController>(proxy);
        proxy->InitWithOwner(controller.get());
        CalcTest::FloatStream* ramp = CalcTest::FloatStream::Make(CalcTest::Ramp(5000));
        proxy->SetEnumSource(String(L"$a"), ramp);
        ramp->Release();
        controller->AttachWebView(&parent);
    }

    void TearDown() override
    {
        if (proxy == nullptr)
            return;
        if (task != nullptr)
            task->Release();
        controller.reset();
        proxy->Release();
        host->Close();
        host->Release();
    }

    // The plot as a document opens it: a task replays what the document holds, and the page
    // is set up from the markup the task edited.
    void Open()
    {
        if (task != nullptr)
            task->Release();
        KVD::COMPtr<IMessageHandler> handler(KVD::com_cast(static_cast<IDocument*>(host)));
        task = new LumoPersistTask(String(L"local"), host->GetRegistrar(), proxy->GetSubject(), handler);
        task->AddRef();
        std::wstring markup = KVD::ToKVDString(kMarkup).c_str();
        task->ModifyMarkup(markup);
        controller->LoadHTML(KVD::LumoHtml::GetLumoHtml());
        ASSERT_TRUE(controller->IsLoaded());
        ASSERT_TRUE(proxy->ExecuteJavaScript(String(L"lumo.make_plot('local');")));
        std::string setup;
        ASSERT_TRUE(Lumo::GetSetMarkupJS(KVD::ToU8String(String(markup)), "local", setup));
        ASSERT_TRUE(controller->ExecuteJavaScript(setup).has_value());
    }

    // The script's value as script writes it: numbers in the fewest digits that read back the same.
    std::string Run(const std::string& script)
    {
        return controller->ExecuteJavaScript(script).value_or(Web::Value::String("no value")).ToText();
    }

    // The user drags the region by (dx, dy) pixels; where it is then, in percent of the data area.
    std::string Drag(const std::string& id, int dx, int dy)
    {
        return Run("(function () { var r = lumo.get_plot('local').get_plotter('" + id + "'), b = r.box();"
                   " var h = r.hit(b.x + 2, b.y + 2); h.drag(b.x + 2 + " + std::to_string(dx) + ", b.y + 2 + " +
                   std::to_string(dy) + "); h.end(); return [r.pos.x, r.pos.y]; })()");
    }
    std::string Position(const std::string& id)
    {
        return Run("(function () { var r = lumo.get_plot('local').get_plotter('" + id + "'); return [r.pos.x, r.pos.y]; })()");
    }
    std::string XRange()
    {
        return Run("(function () { var s = lumo.get_plot('local').get_scales()[0]; return [s.min, s.max]; })()");
    }

    AppKit::View parent{AppKit::Rect{0, 0, 500, 300}};
    Host::HostDocument* host = nullptr;
    KVD::LumoProxyMac* proxy = nullptr;
    std::unique_ptr<KVD::LumoViewController> controller;
    LumoPersistTask* task = nullptr;
};

TEST_F(LivePersist, MovedRegionsAndANarrowZoomReopenAsTheUserLeftThem)
{
    Open();
    const std::string legend = Drag("L1", -123, 37);
    const std::string note = Drag("T1", 77, 101);
    // Away from where the page puts them by default.
    EXPECT_NE(legend, "70,5");
    EXPECT_NE(note, "5,5");
    Run("lumo.get_plot('local').get_scales()[0].set_range(3600.001, 3600.004, 'user')");
    EXPECT_EQ(XRange(), "3600.001,3600.004");

    Open();  // the document opened again
    EXPECT_EQ(Position("L1"), legend);
    EXPECT_EQ(Position("T1"), note);
    EXPECT_EQ(XRange(), "3600.001,3600.004");
}

}  // namespace
}  // namespace PlotTest
