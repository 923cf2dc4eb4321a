// A storage: a directory of named streams and storages within a compound file.
#pragma once

#include "IStream.h"

// 0000000B-0000-0000-C000-000000000046
inline constexpr _IID IID_IStorage = {0x0000000B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// 0000000D-0000-0000-C000-000000000046
inline constexpr _IID IID_IEnumSTATSTG = {0x0000000D, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Mode bits beyond the access bits of IStream.h.
constexpr uint32_t STGM_CREATE = 0x1000;           // replace an element of the same name
constexpr uint32_t STGM_TRANSACTED = 0x10000;
constexpr uint32_t STGM_DELETEONRELEASE = 0x04000000;

// A list of element names ending with a null entry.
typedef wchar_t** SNB;

struct IEnumSTATSTG : IUnknown {
    // Up to count records (the receiver frees their names); KVD_S_FALSE when fewer came.
    virtual HRESULT Next(uint32_t count, STATSTG* records, uint32_t* fetched) = 0;   // slot 3
    virtual HRESULT Skip(uint32_t count) = 0;                                        // slot 4
    virtual HRESULT Reset() = 0;                                                     // slot 5
    virtual HRESULT Clone(IEnumSTATSTG** out) = 0;                                   // slot 6
};

struct IStorage : IUnknown {
    virtual HRESULT CreateStream(const wchar_t* name, uint32_t mode, uint32_t reserved1, uint32_t reserved2,
                                 IStream** out) = 0;                                                    // slot 3
    virtual HRESULT OpenStream(const wchar_t* name, void* reserved1, uint32_t mode, uint32_t reserved2,
                               IStream** out) = 0;                                                      // slot 4
    virtual HRESULT CreateStorage(const wchar_t* name, uint32_t mode, uint32_t reserved1, uint32_t reserved2,
                                  IStorage** out) = 0;                                                  // slot 5
    virtual HRESULT OpenStorage(const wchar_t* name, IStorage* priority, uint32_t mode, SNB exclude,
                                uint32_t reserved, IStorage** out) = 0;                                 // slot 6
    virtual HRESULT CopyTo(uint32_t excludeCount, const _IID* excludeIids, SNB excludeNames, IStorage* dest) = 0;  // slot 7
    virtual HRESULT MoveElementTo(const wchar_t* name, IStorage* dest, const wchar_t* newName, uint32_t flags) = 0;  // slot 8
    virtual HRESULT Commit(uint32_t flags) = 0;                                                         // slot 9
    virtual HRESULT Revert() = 0;                                                                       // slot 10
    virtual HRESULT EnumElements(uint32_t reserved1, void* reserved2, uint32_t reserved3, IEnumSTATSTG** out) = 0;  // slot 11
    virtual HRESULT DestroyElement(const wchar_t* name) = 0;                                            // slot 12
    virtual HRESULT RenameElement(const wchar_t* oldName, const wchar_t* newName) = 0;                  // slot 13
    virtual HRESULT SetElementTimes(const wchar_t* name, const uint64_t* ctime, const uint64_t* atime,
                                    const uint64_t* mtime) = 0;                                         // slot 14
    virtual HRESULT SetClass(const _IID& clsid) = 0;                                                    // slot 15
    virtual HRESULT SetStateBits(uint32_t bits, uint32_t mask) = 0;                                     // slot 16
    virtual HRESULT Stat(STATSTG* statstg, uint32_t flag) = 0;                                          // slot 17
};

KVD_INTERFACE_ID(IEnumSTATSTG, IID_IEnumSTATSTG);
KVD_INTERFACE_ID(IStorage, IID_IStorage);
