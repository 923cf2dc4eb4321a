#include "foundation/CFileWithHRESULT.h"

#include <cerrno>
#include <sys/types.h>
#include <unistd.h>

#include "foundation/KVDResultCodes.h"

namespace KVD {

CFileWithHRESULT::~CFileWithHRESULT()
{
    if (mFile != nullptr)
        std::fclose(mFile);
}

bool CFileWithHRESULT::Report(bool success, int* result) const
{
    if (result != nullptr)
        *result = success ? KVD_S_OK : errno != 0 ? HRESULT_from_POSIX(errno) : KVD_E_BADSTATE;
    return success;
}

bool CFileWithHRESULT::NotOpen(int* result) const
{
    if (mFile != nullptr)
        return false;
    errno = EBADF;
    Report(false, result);
    return true;
}

bool CFileWithHRESULT::fopen(const char* path, const char* mode, int* result)
{
    if (mFile != nullptr)
        fclose();
    errno = 0;
    mFile = std::fopen(path, mode);
    return Report(mFile != nullptr, result);
}

int CFileWithHRESULT::fseek(long long offset, int whence, int* result)
{
    errno = 0;
    if (NotOpen(result))
        return -1;
    const int done = ::fseeko(mFile, static_cast<off_t>(offset), whence);
    Report(done == 0, result);
    return done;
}

size_t CFileWithHRESULT::fread(void* buffer, size_t size, int* result)
{
    errno = 0;
    if (NotOpen(result))
        return 0;
    const size_t got = std::fread(buffer, 1, size, mFile);
    Report(got == size || std::feof(mFile), result);
    return got;
}

size_t CFileWithHRESULT::fwrite(const void* buffer, size_t size, int* result)
{
    errno = 0;
    if (NotOpen(result))
        return 0;
    const size_t put = std::fwrite(buffer, 1, size, mFile);
    Report(put == size, result);
    return put;
}

int CFileWithHRESULT::ftruncate(long long length, int* result)
{
    errno = 0;
    if (NotOpen(result))
        return -1;
    const int done = ::ftruncate(fileno(mFile), static_cast<off_t>(length));
    Report(done == 0, result);
    return done;
}

int CFileWithHRESULT::fclose(int* result)
{
    errno = 0;
    if (NotOpen(result))
        return EOF;
    FILE* file = mFile;
    mFile = nullptr;
    const int done = std::fclose(file);
    Report(done == 0, result);
    return done;
}

int CFileWithHRESULT::FullFlushSync(int* result)
{
    errno = 0;
    if (NotOpen(result))
        return EOF;
    if (const int flushed = std::fflush(mFile)) {
        Report(false, result);
        return flushed;
    }
    // fsync is this system's way to have the file's data reach the disk.
    if (::fsync(fileno(mFile)) == -1) {
        Report(false, result);
        return -1;
    }
    Report(true, result);
    return 0;
}

}  // namespace KVD
