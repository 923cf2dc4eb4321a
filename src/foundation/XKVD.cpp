#include "foundation/XKVD.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/KVDResultCodes.h"
#include "foundation/ResultCodeText.h"

namespace {

// Messages of these codes are complete texts of their own.
bool TakesLineFeed(int code)
{
    return code != KVD_S_OK && code != KVD_E_STORAGEMESSAGE && code != KVD_E_REPORTMESSAGE;
}

// Appends line to the file at path; 0, or the errno of the failure. The open does not wait for
// a FIFO's reader (ENXIO when it has none); the writes then may.
int AppendLine(const char* path, const std::string& line)
{
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int error = 0;
    for (size_t done = 0; done < line.size() && error == 0;) {
        const ssize_t written = ::write(fd, line.data() + done, line.size() - done);
        if (written > 0)
            done += size_t(written);
        else if (written == 0 || errno != EINTR)
            error = written == 0 ? EIO : errno;
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// Says once on standard error that the log file takes no lines, and turns the log off: the
// host and every plug-in have their own copy of this code, and the environment is what they
// share, so that the user is told once however many copies log.
void ReportLostLog(const char* path, int error)
{
    std::fprintf(stderr, "KVDBOOTLOG: the log lines cannot be appended to %s (%s): they are dropped\n", path,
                 std::strerror(error));
    std::fflush(stderr);
    ::setenv(XKVD::kLogVariable, "off", 1);
}

}  // namespace

XKVD::XKVD(int code, NSBundle* bundle) : mCode(code), mMessage(MakeMsg(bundle, code))
{
    Log();
}

XKVD::XKVD(const KVD::String& message, int code, NSBundle*) : mCode(code), mMessage(message)
{
    if (TakesLineFeed(code))
        mMessage += L'\n';
    Log();
}

const char* XKVD::what() const noexcept
{
    try {
        mMessage = why();
        return mMessage.UTF8();
    } catch (...) {
        return "XKVD";  // no memory for the text
    }
}

KVD::String XKVD::why() const
{
    return mMessage;
}

KVD::String XKVD::MakeMsg(NSBundle*, int code)
{
    return KVD::ResultCodeText(code);
}

KVD::String XKVD::MakeMsgForKVDHR(int code, NSBundle*)
{
    return KVD::DataFileResultCodeText(code);
}

// The line is written as UTF-8 bytes, so that every character survives whatever C locale is
// set and the error stream is never switched to wide orientation under other writers. Where it
// goes is read from the environment at each line, because the host and every plug-in have
// their own copy of this code and the environment is what they share.
void XKVD::Log() const
{
    const char* where = std::getenv(kLogVariable);
    if (where != nullptr && std::strcmp(where, "off") == 0)
        return;
    const std::string line = "KVDBOOTLOG: XKVD: " + KVD::ToU8String(mMessage) + "\n";
    if (where == nullptr || *where == '\0' || std::strcmp(where, "stderr") == 0) {
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
        return;
    }
    const std::string path = where;  // the report below changes the environment
    const int error = AppendLine(path.c_str(), line);
    if (error != 0)
        ReportLostLog(path.c_str(), error);
}
