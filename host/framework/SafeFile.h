// The one way the host writes a file: into a scratch file created exclusively, under a unique
// name, in the target's folder, then flushed to disk and renamed over the target. Until the
// rename the target is untouched; a write, flush or close that fails leaves no partial file and
// is reported with the system's own words. Several saves to one path at once each write their
// own scratch file, so the target is always one whole save.
#pragma once

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

namespace Host {

// A file that could not be written; the message names it and says why.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SafeFile {
public:
    // Creates the scratch file. Throws FileWriteError when the target exists and is not a
    // regular file (a device, a folder, a FIFO; a link is judged by what it points to and is
    // replaced, never followed), or when the folder does not take a new file.
    explicit SafeFile(const std::string& target);
    // Removes the scratch file unless committed.
    ~SafeFile();
    // Throws FileWriteError as the constructor would, and leaves nothing behind: for commands
    // that work a long time before they write.
    static void CheckTarget(const std::string& target);
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    const std::string& Target() const { return mTarget; }
    // For writers that open a file by name themselves: it keeps the target's extension.
    const std::string& ScratchPath() const { return mScratch; }
    // Writes to the scratch file; every failed write is kept for Commit to report.
    std::ostream& Stream();

    // Flushes the stream and the file to disk and renames it over the target. Throws
    // FileWriteError (and removes the scratch file) when any of it, or any earlier write
    // through Stream, failed.
    void Commit();
    // Throws FileWriteError naming the target with what, and the system's text for error.
    [[noreturn]] void Fail(const std::string& what, int error);

private:
    class Buffer;

    void Discard();

    std::string mTarget;
    std::string mScratch;
    int mFd = -1;
    std::unique_ptr<Buffer> mBuffer;
    std::unique_ptr<std::ostream> mStream;
};

// The system's text for an errno value.
std::string SystemErrorText(int error);

}  // namespace Host
