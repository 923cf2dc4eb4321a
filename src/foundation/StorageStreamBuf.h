// A byte stream buffer over an IStream (a stream of the compound file): data moves in blocks
// of at most 1024 bytes, so that the scalars of a record are served from memory.
#pragma once

#include <cstdint>
#include <streambuf>

#include "IStream.h"
#include "ResultCodes.h"
#include "foundation/COMPtr.h"

namespace KVD {

class StorageStreamBuf : public std::streambuf {
public:
    static constexpr std::size_t kPutBack = 4;
    static constexpr std::size_t kBlock = 1024;

    StorageStreamBuf() = default;
    ~StorageStreamBuf() override;
    StorageStreamBuf(const StorageStreamBuf&) = delete;
    StorageStreamBuf& operator=(const StorageStreamBuf&) = delete;

    // Holds a reference on the stream from now on. The open mode follows the stream's access:
    // for output, write-only gives output alone and anything else both; for input, read-only
    // gives input, write-only output, read-write both. Null when already attached, or when the
    // stream cannot say its access or position.
    StorageStreamBuf* attach(IStream* stream, bool forOutput);
    // Writes what is pending and lets go of the stream.
    void close();
    // Forgets the output not yet written, which then never reaches the stream.
    void DiscardOutput();

    IStream* Stream() const { return mStream.get(); }
    // What the stream answered to the first write it refused (the system's error, say); KVD_S_OK
    // while it refused none.
    HRESULT WriteFailure() const { return mWriteFailure; }
    bool IsAttached() const { return mAttached; }

protected:
    int_type underflow() override;
    int_type overflow(int_type c) override;
    int sync() override;
    // The current position is answered without a transfer; a target that the buffer covers is
    // reached by moving its pointer (MoveWithinBuffer); any other target is sought in the
    // stream after what is pending was written.
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;
    std::streambuf* setbuf(char*, std::streamsize) override { return nullptr; }
    virtual bool MoveWithinBuffer(off_type target) = 0;

    bool HasMode(std::ios_base::openmode mode) const { return (mMode & mode) != 0; }
    char* Block() { return mBuffer + kPutBack; }
    // The stream's position after the last transfer: the position of the put area's start
    // while writing, that of the get area's end while reading.
    uint64_t StreamPosition() const { return mPosition; }
    // The position of the next byte read or written.
    uint64_t CurrentPosition() const;
    // Bytes written into the put area, counting those beyond a put pointer moved back.
    std::ptrdiff_t PendingOutput() const;

    char* mHighWater = nullptr;  // the furthest the put pointer has been since the last sync

private:
    bool WritePending();
    pos_type SeekStream(off_type off, std::ios_base::seekdir dir);

    COMPtr<IStream> mStream;
    std::ios_base::openmode mMode = std::ios_base::openmode();
    bool mAttached = false;
    uint64_t mPosition = 0;
    HRESULT mWriteFailure = KVD_S_OK;
    char mBuffer[kPutBack + kBlock];
};

// The buffer of a record reader: it seeks within what it has read, so that a reader can give
// back what it looked at.
class StorageInStreamBuf : public StorageStreamBuf {
protected:
    bool MoveWithinBuffer(off_type target) override;
};

// The buffer of a record writer: it seeks within what it holds unwritten, so that a writer can
// go back and fill in a field.
class StorageOutStreamBuf : public StorageStreamBuf {
protected:
    bool MoveWithinBuffer(off_type target) override;
};

}  // namespace KVD
