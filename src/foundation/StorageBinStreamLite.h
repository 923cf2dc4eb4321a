// Record streams over an IStream of the compound file, each with its buffer built in. The
// writer stamps records with version 21.
#pragma once

#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"
#include "foundation/StorageStreamBuf.h"

namespace KVD {

class StorageBinIStreamLite : public BinIStream {
public:
    // Attaches to the stream for input (a failed attach makes the state 1) and reads the
    // version word.
    explicit StorageBinIStreamLite(IStream* stream);

private:
    // Destroyed before the base, so the stream is let go of before the attached object.
    StorageInStreamBuf mStreamBuf;
};

class StorageBinOStreamLite : public BinOStream {
public:
    static constexpr unsigned char kVersion = 21;

    // Attaches to the stream (a failed attach makes the state 1) and writes the version word.
    StorageBinOStreamLite(IStream* stream, bool forOutput);

    // Also truncates the stream to nothing.
    void SetEmpty() override;
    // What the stream answered to the first write it refused; KVD_S_OK while it refused none.
    HRESULT WriteFailure() const { return mStreamBuf.WriteFailure(); }

private:
    // Destroyed before the base: pending output is written before the attached object goes.
    StorageOutStreamBuf mStreamBuf;
};

}  // namespace KVD
