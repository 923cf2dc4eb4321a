// A view run by spirohost, as a user would, against a browser stand-in: the real browser, with
// a stopper that stops it, or some of its processes, a few seconds after it starts, when the
// pages have loaded and settle. The view must end soon after with exit 1 and the reason, and
// leave the file that was there as it was.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"

namespace TestSupport {

class StalledView : public ::testing::Test {
protected:
    void SetUp() override;

    std::string Path(const std::string& name) const;
    // The browser stand-in, whose stopper runs these shell lines 4 s after the browser starts,
    // with the browser's process id in $$; it notes the time in the file "stopped-at" first, and
    // lets go of the browser's pipe.
    std::string StoppingBrowser(const std::string& stopLines) const;
    // Runs the view with the browser stand-in, writing output ("--png", "--print") to a file
    // that held "old", and expects it to end within mostSeconds of the stop, saying why.
    void ExpectGivenUp(const std::string& browser, const std::string& viewName, const std::string& output,
                       int settleSeconds, const std::string& reason, double mostSeconds);

private:
    TempFolder mFolder;
};

}  // namespace TestSupport
