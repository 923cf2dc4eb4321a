#include "foundation/StorageBinStreamLite.h"

#include "ResultCodes.h"

namespace KVD {

StorageBinIStreamLite::StorageBinIStreamLite(IStream* stream) : BinIStream(&mStreamBuf, false, NoVersion())
{
    if (mStreamBuf.attach(stream, false) == nullptr)
        SetState(kFlushOrAttachFailed);
    readVersion();
}

StorageBinOStreamLite::StorageBinOStreamLite(IStream* stream, bool forOutput)
    : BinOStream(&mStreamBuf, false, NoVersion())
{
    if (mStreamBuf.attach(stream, forOutput) == nullptr)
        SetState(kFlushOrAttachFailed);
    writeVersion(kVersion);
}

void StorageBinOStreamLite::SetEmpty()
{
    // Buffered output belongs to the record being dropped: written later, it would come back
    // into the emptied stream.
    mStreamBuf.DiscardOutput();
    BinOStream::SetEmpty();
    if (mStreamBuf.IsAttached() && !KVDSucceeded(mStreamBuf.Stream()->SetSize(0)))
        SetState(kTransferFailed);
}

}  // namespace KVD
