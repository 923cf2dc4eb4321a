// The folders a browser runs in: its profile folder under the temporary folder (TMPDIR), with
// its home, settings, caches, runtime files and scratch files inside, and the environment that
// names them, so that it writes nothing outside it.
//
// The browser makes its sockets in its scratch folder, and a socket's path may take at most
// 107 bytes. Where the profile's scratch folder lies too deep for that, the browser is given a
// short way to it instead: a link in a folder of its own in /tmp, or else /dev/shm; what it
// writes there still lands in the profile. Where neither takes that folder, the profile is not
// made and the message names TMPDIR and how long it may be.
//
// The profile and the link's folder are scratch folders (CF::Scratch): remembered for a signal's
// handler and removed with the profile, and locked while the host has them, so that the next
// browser removes those of a host killed outright, and only those (SweepOrphans).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "cf/Scratch.h"

namespace Web {

class BrowserProfile {
public:
    // The longest path the browser's scratch folder is given: its sockets' paths within it
    // ("/org.chromium.Chromium.XXXXXX/SingletonSocket", 45 bytes) keep within the system's
    // limit with room to spare.
    static constexpr size_t kMaxScratchPath = 51;
    static constexpr size_t kMaxSocketPath = 107;  // a socket address's path less its NUL

    BrowserProfile() = default;
    ~BrowserProfile() { Remove(); }
    BrowserProfile(const BrowserProfile&) = delete;
    BrowserProfile& operator=(const BrowserProfile&) = delete;

    // Removes the profiles, links and pictures of hosts that are gone from the folders they are
    // made in (CF::RemoveOrphans).
    static void SweepOrphans();

    // Makes the profile and its scratch folder's short way if need be; false with the reason.
    // Call it while the signals are held (CF::SignalsHeld).
    bool Make(std::string& error);
    // The browser's process group, killed by a signal's handler before the profile is removed;
    // 0 once it has been waited for.
    void SetGroup(pid_t group);
    // Removes the profile and the link's folder.
    void Remove();

    const std::string& Folder() const { return mFolder.Path(); }
    // The scratch folder as the browser is given it (its TMPDIR).
    const std::string& Scratch() const { return mScratch; }
    // The host's environment, with the browser's own folders in the profile.
    std::vector<std::string> Environment() const;

private:
    // Makes the link's folder, with the link to the scratch folder, in the first of the short
    // folders that takes it.
    bool MakeLink(std::string& error);

    CF::Scratch mFolder;
    std::string mScratch;
    CF::Scratch mLink;  // the link's folder; none when the scratch folder is given as it is
};

}  // namespace Web
