// A process group's processor time, as a long print's wait reads it to tell a renderer at work
// from one that was stopped: it grows while a process of the group named by its argument runs,
// stands still while that process is stopped, and counts no other process.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "web/ProcessTimes.h"

namespace {

TEST(ProcessTimes, GrowWhileTheGroupsProcessWorksAndStandStillWhileItIsStopped)
{
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execl("/bin/sh", "sh", "-c", "while :; do :; done", "spiro-busy", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(child, 0);
    setpgid(child, child);
    double seconds = 0;
    for (int i = 0; i < 1000 && seconds < 0.2; ++i) {
        usleep(10000);
        seconds = Web::GroupProcessorSeconds(child, "spiro-busy");
    }
    EXPECT_GE(seconds, 0.2);
    // Another argument, or another group, counts nothing of it.
    EXPECT_EQ(Web::GroupProcessorSeconds(child, "spiro"), 0);
    EXPECT_EQ(Web::GroupProcessorSeconds(getpgrp(), "spiro-busy"), 0);

    int status = 0;
    kill(child, SIGSTOP);
    waitpid(child, &status, WUNTRACED);
    const double stopped = Web::GroupProcessorSeconds(child, "spiro-busy");
    EXPECT_GE(stopped, seconds);
    usleep(200000);
    EXPECT_EQ(Web::GroupProcessorSeconds(child, "spiro-busy"), stopped);
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
}

}  // namespace
