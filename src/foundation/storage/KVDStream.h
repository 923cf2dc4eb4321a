// A stream of a compound file. It keeps its storage, and with it the file, alive; every
// operation holds the file's mutex.
#pragma once

#include <cstdint>
#include <memory>

#include "IKVDStream.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "foundation/storage/StreamCursor.h"

namespace KVDStg {

class KVDStorage;

class KVDStream : public KVD::CountedUnknown<KVD::Answers<IKVDStream, IStream, ISequentialStream>> {
public:
    // Starts at the element's start; made with KVD::MakeCounted.
    KVDStream(KVDStorage* storage, std::shared_ptr<Element> element);

    HRESULT Read(void* buffer, uint32_t cb, uint32_t* read) override;
    HRESULT Write(const void* buffer, uint32_t cb, uint32_t* written) override;
    HRESULT Seek(int64_t move, uint32_t origin, uint64_t* position) override;
    HRESULT SetSize(uint64_t size) override;
    HRESULT CopyTo(IStream* target, uint64_t cb, uint64_t* read, uint64_t* written) override;
    HRESULT Commit(uint32_t flags) override;
    HRESULT Revert() override;
    HRESULT LockRegion(uint64_t offset, uint64_t cb, uint32_t lockType) override;
    HRESULT UnlockRegion(uint64_t offset, uint64_t cb, uint32_t lockType) override;
    HRESULT Stat(STATSTG* stat, uint32_t flag) override;
    HRESULT Clone(IStream** out) override;

    HRESULT GetMemPos(uint64_t offset, uint32_t count, const uint8_t** out) override;
    HRESULT GetLockBytesId(uint32_t* id) override;
    HRESULT GetLockBytes(ILockBytes** out) override;

private:
    ~KVDStream() override;
    bool Usable() const;

    KVD::COMPtr<KVDStorage> mStorage;
    StreamCursor mCursor;
    uint32_t mEpoch;
};

}  // namespace KVDStg
