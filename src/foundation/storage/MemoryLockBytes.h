// Lock bytes over a byte array in memory: a compound file that never touches the disk
// (scratch data, tests, the fuzz target, benchmarks).
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/storage/LockBytesBase.h"

namespace KVDStg {

class MemoryLockBytes : public LockBytesBase {
public:
    // One reference for the caller.
    static MemoryLockBytes* Create(std::vector<uint8_t> bytes = {});

    HRESULT Flush() override;
    HRESULT ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t* read) override;
    HRESULT SetSize(uint64_t size) override;
    HRESULT Stat(STATSTG* statstg, uint32_t flag) override;
    HRESULT WriteAt(uint64_t offset, const void* buffer, uint32_t count, uint32_t* written) override;

    // The bytes are in memory: streams can hand out direct pointers (valid until the array grows).
    uint8_t* GetMemMappedAddress() override;

    const std::vector<uint8_t>& Bytes() const { return mBytes; }

protected:
    explicit MemoryLockBytes(std::vector<uint8_t> bytes);

private:
    std::vector<uint8_t> mBytes;
};

}  // namespace KVDStg
