// The one way the host writes a file: into a scratch file in the target's folder, then flushed to
// disk and renamed over the target. The scratch file is unnamed where the folder's file system
// allows it (O_TMPFILE) and gets a name beside the target only once it is complete and about to
// be renamed, so that a write killed before that leaves nothing; elsewhere it is created
// exclusively under a unique hidden name. Either name fits wherever the target's does. A named
// scratch file is removed should SIGINT, SIGTERM or SIGHUP end the process (CF::Leftovers), and
// those signals are held while scratch files are named and renamed, and only then; one left by
// a write killed outright (SIGKILL) in that moment is removed by the next write to the same
// target. Until the rename the target is untouched; a write or flush to disk that fails leaves
// no partial file and is reported with the system's own words. Several saves to one path at once each write their
// own scratch file, so the target is always one whole save.
//
// Nothing is put in place under /dev or /proc (OutputName): standard output and error, however
// named, are written to their streams once complete, from a scratch file in the temporary
// folder, with the signals free; any other name there is refused, and so is a stream that is not
// open (StandardStreams).
#pragma once

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/types.h>

#include "cf/Leftovers.h"

namespace Host {

// A file that could not be written; the message names it and says why.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ScratchNames;

class SafeFile {
public:
    // kUnnamed: an unnamed scratch file where the file system allows it. kNamed: always a hidden
    // name beside the target, which keeps the target's extension: for a path that code of
    // others sees and may judge by its name (a Save As class's).
    enum class Scratch { kUnnamed, kNamed };

    // Creates the scratch file. Throws FileWriteError when the target exists and is not a
    // regular file (a device, a folder, a FIFO; a link is judged by what it points to and is
    // replaced, never followed), names the system's (under /dev or /proc, other than standard
    // output and error), names a standard stream that is not open, or when the folder (the
    // temporary folder, for a stream) does not take a new file.
    explicit SafeFile(const std::string& target, Scratch scratch = Scratch::kUnnamed);
    // Removes the scratch file unless committed.
    ~SafeFile();
    // Throws FileWriteError as the constructor would, and leaves nothing behind: for commands
    // that work a long time before they write.
    static void CheckTarget(const std::string& target);
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    const std::string& Target() const { return mTarget; }
    // For writers that open a file by name themselves: the scratch file's name, or the name of
    // this process's descriptor of it while it has none in the folder.
    const std::string& ScratchPath() const { return mPath; }
    // Writes to the scratch file; every failed write is kept for Commit to report.
    std::ostream& Stream();

    // Flushes the stream and the file to disk, so that only naming it and the rename are left to
    // Commit. Throws FileWriteError (and removes the scratch file) when any of it, or any earlier
    // write through Stream, failed. For files that are written together: each is finished
    // before any is committed, and a failure of any leaves every target as it was.
    void Finish();
    // Finishes the file, unless finished, and puts it in place; throws as Finish.
    void Commit();
    // Finishes each file, unless finished, writes those that go to a standard stream, then names
    // each of the others and puts each in place, in order, with SIGINT, SIGTERM and SIGHUP held:
    // such a signal ends the process before the first is named or after the last is in place.
    // A stream that fails, or a failure to name any, leaves every target file as it was.
    static void CommitTogether(const std::vector<SafeFile*>& files);
    // Throws FileWriteError naming the target with what, and the system's text for error.
    [[noreturn]] void Fail(const std::string& what, int error);

private:
    class Buffer;

    void Create(Scratch scratch);
    void Name();
    void PutInPlace();
    void WriteToStream();
    void Discard();

    std::string mTarget;
    std::string mScratch;  // the scratch file's name in the folder, while it has one
    int mRemembered = CF::Leftovers::kNone;  // the name, to be removed on a signal
    int mStreamFd = -1;    // the standard stream the target names, else -1
    std::unique_ptr<ScratchNames> mNames;
    std::string mPath;
    int mFd = -1;
    mode_t mMode = 0;
    bool mFinished = false;
    std::unique_ptr<Buffer> mBuffer;
    std::unique_ptr<std::ostream> mStream;
};

// The system's text for an errno value.
std::string SystemErrorText(int error);

}  // namespace Host
