// An IStream over bytes in memory, counting what its users ask of it and failing on request.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "IStream.h"
#include "ResultCodes.h"

namespace TestSupport {

class MemoryIStream : public IStream {
public:
    explicit MemoryIStream(std::vector<unsigned char> bytes = {}, uint32_t mode = STGM_READWRITE)
        : mBytes(std::move(bytes)), mMode(mode)
    {
    }

    uint32_t AddRef() override { return ++mRefs; }
    uint32_t Release() override { return --mRefs; }
    HRESULT QueryInterface(const _IID&, void** out) override
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }

    HRESULT Read(void* buffer, uint32_t cb, uint32_t* read) override
    {
        const uint64_t available = mPosition < mBytes.size() ? mBytes.size() - mPosition : 0;
        const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(cb, available));
        std::memcpy(buffer, mBytes.data() + mPosition, n);
        mPosition += n;
        if (read != nullptr)
            *read = n;
        return n < cb ? KVD_S_FALSE : KVD_S_OK;
    }

    HRESULT Write(const void* buffer, uint32_t cb, uint32_t* written) override
    {
        writeSizes.push_back(cb);
        const uint32_t n = std::min<uint64_t>(cb, writeLimit);
        writeLimit -= n;
        if (mPosition + n > mBytes.size())
            mBytes.resize(mPosition + n);
        std::memcpy(mBytes.data() + mPosition, buffer, n);
        mPosition += n;
        if (written != nullptr)
            *written = n;
        return n < cb ? KVD_E_BADSTATE : KVD_S_OK;
    }

    HRESULT Seek(int64_t move, uint32_t origin, uint64_t* position) override
    {
        const int64_t base = origin == STREAM_SEEK_SET ? 0 : origin == STREAM_SEEK_CUR ? int64_t(mPosition) : int64_t(mBytes.size());
        if (base + move < 0)
            return KVD_E_BADSTATE;
        mPosition = uint64_t(base + move);
        if (position != nullptr)
            *position = mPosition;
        return KVD_S_OK;
    }

    HRESULT SetSize(uint64_t size) override
    {
        ++setSizeCalls;
        mBytes.resize(size);
        return KVD_S_OK;
    }

    HRESULT CopyTo(IStream*, uint64_t, uint64_t*, uint64_t*) override { return KVD_E_NOTIMPL; }
    HRESULT Commit(uint32_t) override { return KVD_S_OK; }
    HRESULT Revert() override { return KVD_E_NOTIMPL; }
    HRESULT LockRegion(uint64_t, uint64_t, uint32_t) override { return KVD_E_NOTIMPL; }
    HRESULT UnlockRegion(uint64_t, uint64_t, uint32_t) override { return KVD_E_NOTIMPL; }

    HRESULT Stat(STATSTG* stat, uint32_t) override
    {
        *stat = STATSTG{};
        stat->type = STGTY_STREAM;
        stat->cbSize = mBytes.size();
        stat->grfMode = mMode;
        return statResult;
    }

    HRESULT Clone(IStream**) override { return KVD_E_NOTIMPL; }

    const std::vector<unsigned char>& Bytes() const { return mBytes; }
    uint64_t Position() const { return mPosition; }
    uint32_t References() const { return mRefs; }

    HRESULT statResult = KVD_S_OK;
    uint64_t writeLimit = UINT64_MAX;     // bytes that writes may still put; then they fall short
    std::vector<uint32_t> writeSizes;     // every Write, in order
    int setSizeCalls = 0;

private:
    std::vector<unsigned char> mBytes;
    uint32_t mMode;
    uint64_t mPosition = 0;
    uint32_t mRefs = 1;
};

}  // namespace TestSupport
