// The pages' renderers stopped (SIGSTOP) while a view's pages settle, the browser itself
// running on, run against spirohost as a user would: the data view's picture and print and the
// report's print. Each page is given up after the first call it leaves unanswered, so the view
// ends soon after with exit 1, says that the page did not answer and after how long, and
// leaves the file that was there as it was; it does not wait out every call's time limit.
#include <signal.h>

#include <fstream>
#include <sstream>

#include "StalledView.h"

namespace {

const std::string kReason = "the page did not answer within 10 s";
// From the renderers' stop to the command's end: the first call left unanswered waits out its
// limit (10 s), and the view ends at most 30 s after that, though the data view waits out one
// call's limit for each of its two pages; far less than every call's (minutes).
constexpr double kMostSeconds = 10 + 30;

class PageHang : public TestSupport::StalledView {
protected:
    // Whatever the command's end, no renderer stays stopped: one whose browser has gone ends
    // once it runs.
    void TearDown() override
    {
        std::ifstream stopped(Path("stopped"));
        for (pid_t pid; stopped >> pid;)
            kill(pid, SIGCONT);
    }

    // The renderers are the processes of the browser's group started as such; each one's
    // process id is noted, so that it can be resumed.
    void ExpectGivenUp(const std::string& viewName, const std::string& output)
    {
        std::ostringstream stopper;
        stopper << "  for d in /proc/[0-9]*; do\n"
                << "    [ \"$(sed 's/.*) //' $d/stat 2>/dev/null | cut -d' ' -f3)\" = $$ ] || continue\n"
                << "    grep -q -- --type=renderer $d/cmdline 2>/dev/null || continue\n"
                << "    kill -STOP ${d#/proc/} && echo ${d#/proc/} >> " << Path("stopped") << "\n"
                << "  done";
        StalledView::ExpectGivenUp(StoppingBrowser(stopper.str()), viewName, output, 5, kReason, kMostSeconds);
        std::ifstream stopped(Path("stopped"));
        pid_t any = 0;
        EXPECT_TRUE(stopped >> any) << viewName << " " << output << ": no renderer was stopped";
    }
};

TEST_F(PageHang, TheDataViewsPictureEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Data View", "--png");
}

TEST_F(PageHang, TheDataViewsPrintEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Data View", "--print");
}

TEST_F(PageHang, TheReportEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Report", "--print");
}

}  // namespace
