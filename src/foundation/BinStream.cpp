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

void BinStream::AttachObject(IUnknown* object) { mAttached = object; }

void BinStream::ReleaseAttached() { mAttached.Clear(); }

HRESULT BinStream::TellPosition(std::ios_base::openmode which, unsigned* position)
{
    if (position == nullptr)
        return KVD_E_POINTER;
    const std::streampos at = good() && mBuffer != nullptr ? mBuffer->pubseekoff(0, std::ios_base::cur, which)
                                                           : std::streampos(std::streamoff(-1));
    if (at == std::streampos(std::streamoff(-1)))
        mState = kTransferFailed;
    else
        *position = static_cast<unsigned>(std::streamoff(at));
    return StateResult();
}

}  // namespace KVD
