// The built plug-in: what it exports, and how the host finds, loads and registers it.
#include <gtest/gtest.h>

#include <algorithm>

#include "ElfSymbols.h"
#include "ResultCodes.h"
#include "RunCommand.h"
#include "host/loader/PluginBundle.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

const std::string kBundle = SPIRO_BUNDLE_DIR;

TEST(PluginLibrary, DefinesExactlyTheTwoEntryPoints)
{
    auto names = TestSupport::DefinedGlobalSymbols(kBundle + "/Spirometry.so");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"DllRegisterClassObjects", "DllRegisterClassObjectsInOrrelReader"}));
}

TEST(PluginLibrary, TheHostLoadsAndRegistersIt)
{
    Host::PluginBundle plugin(kBundle);
    EXPECT_EQ(plugin.RegisterClassObjects(), KVD_S_OK);
    EXPECT_EQ(plugin.RegisterClassObjectsInReader(), KVD_S_OK);
}

TEST(PluginLibrary, AMissingBundleIsNamedInTheError)
{
    try {
        Host::PluginBundle plugin("/nonexistent/Some.bundle");
        FAIL() << "loaded a plug-in that does not exist";
    } catch (const Host::PluginError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/Some.bundle/Spirometry.so"), std::string::npos);
    }
}

TEST(Spirohost, ListsWhatThePluginRegistered)
{
    int status = -1;
    const std::string out = RunCommand(Spirohost() + " list --bundle " + kBundle, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("Loaded " + kBundle + "/Spirometry.so"), std::string::npos) << out;
    EXPECT_NE(out.find("class objects registered"), std::string::npos) << out;
}

TEST(Spirohost, BadUsageExitsNonZero)
{
    int status = 0;
    RunCommand(Spirohost() + " list --no-such-option 2>/dev/null", &status);
    EXPECT_NE(status, 0);
    RunCommand(Spirohost() + " frobnicate 2>/dev/null", &status);
    EXPECT_NE(status, 0);
    RunCommand(Spirohost() + " list --bundle /nonexistent 2>/dev/null", &status);
    EXPECT_NE(status, 0);
}

}  // namespace
