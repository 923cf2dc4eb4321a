// A stdio file that reports failures as result codes: each operation sets the optional result
// to 0 on success, else to the POSIX code of errno (0xF800400A when errno was not set).
#pragma once

#include <cstddef>
#include <cstdio>

namespace KVD {

class CFileWithHRESULT {
public:
    CFileWithHRESULT() = default;
    // An open file is closed with its owner.
    ~CFileWithHRESULT();
    CFileWithHRESULT(const CFileWithHRESULT&) = delete;
    CFileWithHRESULT& operator=(const CFileWithHRESULT&) = delete;

    // Opens path (UTF-8) with the stdio mode; a file still open is closed first.
    bool fopen(const char* path, const char* mode, int* result = nullptr);
    int fseek(long long offset, int whence, int* result = nullptr);
    // Reading up to the end of the file counts as success.
    size_t fread(void* buffer, size_t size, int* result = nullptr);
    size_t fwrite(const void* buffer, size_t size, int* result = nullptr);
    int ftruncate(long long length, int* result = nullptr);
    // The file is given up even when closing fails.
    int fclose(int* result = nullptr);
    // Flushes the stdio buffer and has the system write the file to the disk.
    int FullFlushSync(int* result = nullptr);

    bool IsOpen() const { return mFile != nullptr; }
    FILE* GetFile() const { return mFile; }

private:
    // Each operation clears errno, makes its stdio call and reports through Report.
    bool Report(bool success, int* result) const;
    // True, and reported as stdio reports a bad descriptor, when no file is open.
    bool NotOpen(int* result) const;

    FILE* mFile = nullptr;
};

}  // namespace KVD
