// A browser stopped (SIGSTOP) while a view's pages settle, run against spirohost as a user
// would: the data view's picture and print, the loop's and the report's. The browser is given
// up after the first call it leaves unanswered, so each view ends soon after with the reason
// and exit 1, leaving the file that was there as it was; it does not wait out every overlay's
// time limit in turn.
#include "StalledView.h"

namespace {

const std::string kReason = "the browser did not answer within 10 s";
// From the browser's stop to the command's end: far less than waiting out the calls' limits
// (minutes for the data view), with room for a slow machine.
constexpr double kMostSeconds = 30;

class BrowserStall : public TestSupport::StalledView {
protected:
    void ExpectGivenUp(const std::string& viewName, const std::string& output)
    {
        StalledView::ExpectGivenUp(StoppingBrowser("kill -STOP $$"), viewName, output, 6, kReason, kMostSeconds);
    }
};

TEST_F(BrowserStall, TheDataViewsPictureEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Data View", "--png");
}

TEST_F(BrowserStall, TheDataViewsPrintEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Data View", "--print");
}

TEST_F(BrowserStall, TheLoopEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Loop View", "--png");
}

TEST_F(BrowserStall, TheReportEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Report", "--print");
}

}  // namespace
