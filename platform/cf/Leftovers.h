// What the process keeps in its temporary folder while it works (a browser's profile folder with
// the browser running in it, a picture being drawn) goes with it when SIGINT, SIGTERM or SIGHUP
// ends it: a handler kills the browser, removes what is remembered and ends the process by the
// same signal, as it would have ended without the handler.
//
// The handler is installed, once, only for a signal still at its default action: one that the
// parent set to be ignored (a shell does so for a background job's SIGINT) stays ignored. It is
// installed by the thread that first holds the signals (SignalsHeld), the one that makes and
// remembers these things, and runs on that thread (while it lives) whatever thread the signal
// came to: nothing that thread does then runs alongside the removal, and a signal that comes
// while the thread holds them waits until what it made is remembered. The handler makes system
// calls only.
//
// A SIGKILL leaves what it leaves: the next browser removes the scratch things of hosts that
// have died (CF::RemoveOrphans).
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>

namespace CF {

class Leftovers {
public:
    static constexpr int kNone = -1;
    // Remembers path, a file or a folder with everything in it, to be removed should one of
    // those signals end the process; its id, or kNone when the path is too long or a few others
    // are remembered already. Call it while the signals are held.
    static int Remember(const std::string& path);
    // The process group to kill, and its leader to wait for, before the path is removed: the
    // browser writing in it; 0 once it has been waited for.
    static void SetGroup(int id, pid_t group);
    // The path is no longer to be removed (it has been, or will be, by its owner).
    static void Forget(int id);
    // Kills the process group (a stopped process too) and waits for its leader, a child of this
    // process. System calls alone (the handler uses it).
    static void KillGroup(pid_t group);
    // Removes path, and everything in a folder there, without following links, through system
    // calls alone (the handler uses it); false when some of it remains.
    static bool RemoveTree(const char* path);
    // Removes everything in the folder open at fd, as RemoveTree does.
    static void RemoveContents(int fd);
};

// Holds SIGINT, SIGTERM and SIGHUP off this thread while it lives, the handler installed first.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

    // The thread's signal mask before: a child forked meanwhile sets it back before it runs a
    // program.
    const sigset_t& Previous() const { return mPrevious; }

private:
    sigset_t mPrevious;
};

}  // namespace CF
