#include "foundation/BinStream.h"

#include "ResultCodes.h"

namespace KVD {

BinStream::BinStream(std::streambuf* buffer, bool ownsBuffer) : mBuffer(buffer), mOwnsBuffer(ownsBuffer) {}

BinStream::~BinStream()
{
    ReleaseAttached();
    if (mOwnsBuffer)
        delete mBuffer;
}

HRESULT BinStream::StateResult() const
{
    return good() ? KVD_S_OK : KVD_E_BADSTATE;
}

void BinStream::AttachObject(IUnknown* object)
{
    if (object != nullptr)
        object->AddRef();
    ReleaseAttached();
    mAttached = object;
}

void BinStream::ReleaseAttached()
{
    if (mAttached != nullptr) {
        IUnknown* attached = mAttached;
        mAttached = nullptr;
        attached->Release();
    }
}

}  // namespace KVD
