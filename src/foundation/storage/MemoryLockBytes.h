// Lock bytes over a byte array in memory: a compound file that never touches the disk
// (scratch data, tests, the fuzz target, benchmarks).
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "IKVDLockBytes.h"

namespace KVDStg {

class MemoryLockBytes : public IKVDLockBytes {
public:
    // One reference for the caller.
    static MemoryLockBytes* Create(std::vector<uint8_t> bytes = {});

    uint32_t AddRef() override;
    uint32_t Release() override;
    HRESULT QueryInterface(const _IID& iid, void** out) override;

    HRESULT Flush() override;
    HRESULT LockRegion(uint64_t offset, uint64_t count, uint32_t lockType) override;
    HRESULT ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t* read) override;
    HRESULT SetSize(uint64_t size) override;
    HRESULT Stat(STATSTG* statstg, uint32_t flag) override;
    HRESULT UnlockRegion(uint64_t offset, uint64_t count, uint32_t lockType) override;
    HRESULT WriteAt(uint64_t offset, const void* buffer, uint32_t count, uint32_t* written) override;

    // The bytes are in memory: streams can hand out direct pointers (valid until the array grows).
    uint8_t* GetMemMappedAddress() override;
    HRESULT GetLockBytesId(uint32_t* id) override;
    HRESULT OnCommitEnd(uint32_t flags) override;

    const std::vector<uint8_t>& Bytes() const { return mBytes; }

protected:
    explicit MemoryLockBytes(std::vector<uint8_t> bytes);
    virtual ~MemoryLockBytes() = default;

private:
    std::atomic<uint32_t> mRefs{1};
    std::vector<uint8_t> mBytes;
};

}  // namespace KVDStg
