// Byte streams: the sequential stream and the seekable stream that the compound-file storage
// offers and that the binary record streams read and write through.
#pragma once

#include "IUnknown.h"
#include "STATSTG.h"

// 0C733A30-2A1C-11CE-ADE5-00AA0044773D
inline constexpr _IID IID_ISequentialStream = {0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
// 0000000C-0000-0000-C000-000000000046
inline constexpr _IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Access bits of a stream's or storage's mode (the low two bits).
constexpr uint32_t STGM_READ = 0x0;
constexpr uint32_t STGM_WRITE = 0x1;
constexpr uint32_t STGM_READWRITE = 0x2;
constexpr uint32_t STGM_ACCESS_MASK = 0x3;

// Seek origins.
constexpr uint32_t STREAM_SEEK_SET = 0;
constexpr uint32_t STREAM_SEEK_CUR = 1;
constexpr uint32_t STREAM_SEEK_END = 2;

// Stat's flags and the record it fills are in STATSTG.h.

struct ISequentialStream : IUnknown {
    // Reads up to cb bytes; *read (may be null) receives the count. Fewer bytes at the end are
    // not a failure.
    virtual HRESULT Read(void* buffer, uint32_t cb, uint32_t* read) = 0;                  // slot 3
    virtual HRESULT Write(const void* buffer, uint32_t cb, uint32_t* written) = 0;        // slot 4
};

struct IStream : ISequentialStream {
    // Moves the position by move from origin (STREAM_SEEK_*); *position (may be null) gets the
    // new absolute position.
    virtual HRESULT Seek(int64_t move, uint32_t origin, uint64_t* position) = 0;          // slot 5
    virtual HRESULT SetSize(uint64_t size) = 0;                                           // slot 6
    virtual HRESULT CopyTo(IStream* target, uint64_t cb, uint64_t* read, uint64_t* written) = 0;  // slot 7
    virtual HRESULT Commit(uint32_t flags) = 0;                                           // slot 8
    virtual HRESULT Revert() = 0;                                                         // slot 9
    virtual HRESULT LockRegion(uint64_t offset, uint64_t cb, uint32_t lockType) = 0;     // slot 10
    virtual HRESULT UnlockRegion(uint64_t offset, uint64_t cb, uint32_t lockType) = 0;   // slot 11
    virtual HRESULT Stat(STATSTG* stat, uint32_t flag) = 0;                               // slot 12
    virtual HRESULT Clone(IStream** out) = 0;                                             // slot 13
};

KVD_INTERFACE_ID(ISequentialStream, IID_ISequentialStream);
KVD_INTERFACE_ID(IStream, IID_IStream);
