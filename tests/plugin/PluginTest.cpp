// The built plug-in: what it exports, and how the host finds, loads and registers it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "ResultCodes.h"
#include "host/PluginBundle.h"
#include "plugin/ElfSymbols.h"

namespace {

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

std::string RunCommand(const std::string& command, int* status)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    std::array<char, 256> chunk;
    while (size_t n = fread(chunk.data(), 1, chunk.size(), pipe.get()))
        out.append(chunk.data(), n);
    *status = pclose(pipe.release());
    return out;
}

TEST(Spirohost, ListsWhatThePluginRegistered)
{
    int status = -1;
    const std::string out = RunCommand(std::string(SPIRO_BINARY_DIR) + "/spirohost list --bundle " + kBundle, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("Loaded " + kBundle + "/Spirometry.so"), std::string::npos) << out;
    EXPECT_NE(out.find("class objects registered"), std::string::npos) << out;
}

TEST(Spirohost, BadUsageExitsNonZero)
{
    int status = 0;
    RunCommand(std::string(SPIRO_BINARY_DIR) + "/spirohost list --no-such-option 2>/dev/null", &status);
    EXPECT_NE(status, 0);
    RunCommand(std::string(SPIRO_BINARY_DIR) + "/spirohost frobnicate 2>/dev/null", &status);
    EXPECT_NE(status, 0);
    RunCommand(std::string(SPIRO_BINARY_DIR) + "/spirohost list --bundle /nonexistent 2>/dev/null", &status);
    EXPECT_NE(status, 0);
}

}  // namespace
