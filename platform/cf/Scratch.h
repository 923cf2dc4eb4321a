// A scratch file or folder of the process's in a temporary folder (CF::ScratchKind), made
// whole: named by its kind's pattern, locked, remembered for a signal's handler (CF::Leftovers),
// and removed with everything in it when the object is done with it.
//
// The lock (flock, on a descriptor no program the process runs inherits) is held for as long as
// the thing has its name; the system drops it when the process ends, however it ends. A
// scratch thing whose lock can be taken is thus one whose maker has gone, in any process-number
// namespace sharing the folder (CF::RemoveOrphans). Where the file system takes no locks, none
// can be taken by a sweep either, and the thing is left alone.
#pragma once

#include <sys/types.h>

#include <string>

#include "cf/Leftovers.h"
#include "cf/TempFolder.h"

namespace CF {

class Scratch {
public:
    Scratch() = default;
    ~Scratch() { Remove(); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // Makes one of that kind in folder, in place of what it held; false with errno set when
    // none can be made.
    bool Make(const std::string& folder, ScratchKind kind);
    // The process group a signal's handler kills before the thing is removed: the browser
    // writing in it; 0 once it has been waited for.
    void SetGroup(pid_t group);
    // Removes it with everything in it, then lets its lock go.
    void Remove();

    // Empty when there is none.
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
    int mLock = -1;
    int mLeftover = Leftovers::kNone;
};

}  // namespace CF
