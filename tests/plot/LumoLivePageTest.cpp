// The plot page in headless Chromium with the plot proxy on its window: the page's library
// pulls samples through lumo_proxy, finds its resource names on its window, and answers a
// user's rescaling with the event the persist task stores.
#include <gtest/gtest.h>

#include "LumoEventLog.h"
#include "appkit/View.h"
#include "plot/LumoHtml.h"
#include "plot/LumoProxyMac.h"
#include "plot/LumoViewController.h"
#include "support/FakeStreams.h"
#include "web/Browser.h"

namespace PlotTest {
namespace {

TEST(LumoLivePage, TheLibraryPullsDataAndReportsARescaling)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    AppKit::View parent(AppKit::Rect{0, 0, 400, 300});
    auto* proxy = new KVD::LumoProxyMac(nullptr, true);
    proxy->AddRef();
    auto controller = std::make_unique<KVD::LumoViewController>(proxy);
    proxy->InitWithOwner(controller.get());
    auto* events = new LumoEventLog;
    events->AddRef();
    proxy->AttachObserver(events);
    CalcTest::FloatStream* ramp = CalcTest::FloatStream::Make(CalcTest::Ramp(1000));
    proxy->SetEnumSource(KVD::String(L"$a"), ramp);
    ramp->Release();

    controller->AttachWebView(&parent);
    controller->LoadHTML(KVD::LumoHtml::GetLumoHtml());
    ASSERT_TRUE(controller->IsLoaded());
    ASSERT_TRUE(proxy->ExecuteJavaScript(KVD::String(L"lumo.make_plot('local').dblclick_ms(200);")));
    const std::optional<Web::Value> pulled =
        controller->ExecuteJavaScript("lumo.remote('RequestPixData', '$a', 10, 1, 5)");
    ASSERT_TRUE(pulled.has_value());
    EXPECT_EQ(*pulled, Web::Value::Numbers({10, 11, 12, 13, 14}));
    // The resource names arrive on the page's window.
    EXPECT_EQ(controller->ExecuteJavaScript("lumo.resource_urls().throbber"), Web::Value::String("throbber.gif"));
    controller->ExecuteJavaScript("lumo.get_plot('local').get_scales()[0].set_range(2, 8, 'user')");
    EXPECT_EQ(events->lines, (std::vector<std::string>{"XScalingChanged local [2,8] fixed"}));

    proxy->DetachObserver(events);
    events->Release();
    controller.reset();
    proxy->Release();
}

}  // namespace
}  // namespace PlotTest
