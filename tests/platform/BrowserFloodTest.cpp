// A browser that writes on its pipe without ever ending a message is let go once the message
// passes the limit, instead of being buffered until the start timeout.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "ProcessMemory.h"
#include "web/Browser.h"

namespace {

TEST(BrowserFlood, AMessageWithoutEndIsCutOffAtTheLimit)
{
    const std::string fake = ::testing::TempDir() + "flooding-browser";
    {
        std::ofstream script(fake);
        // 600 MB without a NUL on the reply pipe, then silence.
        script << "#!/bin/sh\nhead -c 629145600 /dev/zero | tr '\\000' x >&4\nexec sleep 30\n";
    }
    ::chmod(fake.c_str(), 0755);
    const char* was = std::getenv("SPIRO_CHROMIUM");
    const std::string previous = was != nullptr ? was : "";
    Web::Browser::Shutdown();
    ::setenv("SPIRO_CHROMIUM", fake.c_str(), 1);
    const long before = ProcessMemory::ResidentKb();
    ProcessMemory::ResetPeak();

    std::string error;
    EXPECT_EQ(Web::Browser::Shared(error), nullptr);
    // What the stand-in's own tools said as the pipe was cut may follow.
    const std::string exited = std::string("the browser did not start: ") + Web::Browser::kExited;
    EXPECT_EQ(error.substr(0, exited.size()), exited) << error;
    const long grown = ProcessMemory::PeakKb() - before;

    Web::Browser::Shutdown();
    if (was != nullptr)
        ::setenv("SPIRO_CHROMIUM", previous.c_str(), 1);
    else
        ::unsetenv("SPIRO_CHROMIUM");
    // The message's buffer, its last doubling and what the allocator keeps of earlier ones.
    EXPECT_LT(grown, long(4 * Web::Browser::kMaxMessageBytes / 1024));
}

}  // namespace
