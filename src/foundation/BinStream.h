// What the binary record streams share: the byte stream buffer they read or write, a sticky
// state, and the version of the record format.
//
// The format is little-endian with no alignment: a version word 0x5500AAAA | (v << 16), then
// the record's scalars as raw bytes and its strings as counted UTF-16 texts.
#pragma once

#include <streambuf>

#include "IUnknown.h"
#include "ResultCodes.h"
#include "foundation/COMPtr.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records are stored as the little-endian bytes of memory");

namespace KVD {

class BinStream {
public:
    // State words: 0 good; a failed transfer sets 4, a failed flush or attach 1.
    static constexpr int kGood = 0;
    static constexpr int kFlushOrAttachFailed = 1;
    static constexpr int kTransferFailed = 4;

    static constexpr unsigned kVersionMark = 0x5500AAAA;
    static constexpr unsigned kVersionMarkMask = 0xFF00FFFF;

    BinStream(const BinStream&) = delete;
    BinStream& operator=(const BinStream&) = delete;

    bool good() const { return mState == kGood; }
    int State() const { return mState; }
    void SetState(int state) { mState = state; }
    // 0 while good, 0xF800400A once bad.
    HRESULT StateResult() const;
    unsigned Version() const { return mVersion; }

    // Keeps a reference on an object that must live as long as the stream (the object the
    // stream's data belongs to); released when the stream goes or is emptied.
    void AttachObject(IUnknown* object);

protected:
    // With ownsBuffer the buffer is deleted with the stream.
    BinStream(std::streambuf* buffer, bool ownsBuffer);
    ~BinStream();

    void ReleaseAttached();
    // The buffer's position on the side given (input or output), truncated to 32 bits; a
    // failed query makes the stream bad.
    HRESULT TellPosition(std::ios_base::openmode which, unsigned* position);

    std::streambuf* mBuffer;
    int mState = kGood;
    bool mOwnsBuffer;
    unsigned mVersion = 0;
    COMPtr<IUnknown> mAttached;
};

}  // namespace KVD
