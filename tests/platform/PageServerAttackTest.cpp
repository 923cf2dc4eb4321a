// Clients without the secret press on the page server while a page loads and calls the host:
// 100 that send their heads a byte at a time, 1,000 that send nothing, and one that sends
// headers without end (each kept up, reconnecting, whenever the server closes them). The
// page's load and its calls complete all the same, and the process's memory grows by less
// than 50 MB.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>
#include <vector>

#include "PageAttackers.h"
#include "ProcessMemory.h"
#include "web/Browser.h"
#include "web/LivePage.h"

namespace {

using namespace std::chrono_literals;
using Web::Value;

constexpr long kMaxGrowthKb = 50 * 1024;

TEST(PageServerUnderAttack, APageLoadsAndCallsTheHostWhileClientsWithoutTheSecretPress)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    Web::LivePage page;
    Web::BridgeObject bridge;
    bridge.name = "host";
    bridge.methods = {{"Numbers", Web::BridgeObject::Call::Value}};
    bridge.handler = [](const std::string&, const std::vector<Value>& arguments) {
        return Value::Numbers(std::vector<double>(size_t(arguments.at(0).AsNumber()), 1.5));
    };
    page.InstallBridge(std::move(bridge));
    ASSERT_TRUE(page.LoadHTML("<p>before</p>", "")) << page.LastError();
    std::smatch port;
    const std::string url = page.URL();
    ASSERT_TRUE(std::regex_search(url, port, std::regex(R"(:(\d+)/)")));

    const long before = ProcessMemory::ResidentKb();
    ProcessMemory::ResetPeak();
    PageAttackers attackers(std::stoi(port[1].str()));

    ASSERT_TRUE(page.LoadHTML("<script>window.got = host.Numbers(1000).length;</script>", "")) << page.LastError();
    const Web::Evaluation got = page.Evaluate("window.got");
    EXPECT_EQ(got.value, Value::Number(1000)) << got.error;
    // Calls go on past the server's head timeout, so that waiting clients are closed and
    // come back meanwhile.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000 && std::chrono::steady_clock::now() - start < 6s; ++i) {
        const Web::Evaluation call = page.Evaluate("host.Numbers(10).length");
        ASSERT_TRUE(call.ok) << call.error;
        ASSERT_EQ(call.value, Value::Number(10));
        std::this_thread::sleep_for(20ms);
    }
    attackers.Stop();
    const long grown = ProcessMemory::PeakKb() - before;
    EXPECT_GT(attackers.Flooded(), size_t(1) << 20);
    EXPECT_GT(attackers.Reconnects(), PageAttackers::kSlowClients);  // the server closed them, and they came back
    EXPECT_LT(grown, kMaxGrowthKb);
}

}  // namespace
