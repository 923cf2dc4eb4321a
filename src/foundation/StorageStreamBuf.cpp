#include "foundation/StorageStreamBuf.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ResultCodes.h"

namespace KVD {

namespace {

const std::streampos kFailed(std::streamoff(-1));

uint32_t SeekOrigin(std::ios_base::seekdir dir)
{
    return dir == std::ios_base::beg ? STREAM_SEEK_SET : dir == std::ios_base::cur ? STREAM_SEEK_CUR : STREAM_SEEK_END;
}

}  // namespace

StorageStreamBuf::~StorageStreamBuf()
{
    close();
}

StorageStreamBuf* StorageStreamBuf::attach(IStream* stream, bool forOutput)
{
    if (mAttached || stream == nullptr)
        return nullptr;
    STATSTG stat{};
    const HRESULT statResult = stream->Stat(&stat, STATFLAG_NONAME);
    std::free(stat.pwcsName);
    std::free(stat.pathRef);
    uint64_t position = 0;
    if (!KVDSucceeded(statResult) || !KVDSucceeded(stream->Seek(0, STREAM_SEEK_CUR, &position)))
        return nullptr;
    const uint32_t access = stat.grfMode & STGM_ACCESS_MASK;
    const auto both = std::ios_base::in | std::ios_base::out;
    if (forOutput)
        mMode = access == STGM_WRITE ? std::ios_base::out : both;
    else
        mMode = access == STGM_READ ? std::ios_base::in : access == STGM_WRITE ? std::ios_base::out : both;
    mStream = stream;
    mAttached = true;
    mPosition = position;
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    mHighWater = nullptr;
    return this;
}

void StorageStreamBuf::close()
{
    if (!mAttached)
        return;
    sync();
    mStream.Clear();
    mAttached = false;
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
}

void StorageStreamBuf::DiscardOutput()
{
    setp(nullptr, nullptr);
    mHighWater = nullptr;
}

uint64_t StorageStreamBuf::CurrentPosition() const
{
    if (pbase() != nullptr)
        return mPosition + (pptr() - pbase());
    if (gptr() != nullptr)
        return mPosition - (egptr() - gptr());
    return mPosition;
}

std::ptrdiff_t StorageStreamBuf::PendingOutput() const
{
    if (pbase() == nullptr)
        return 0;
    return std::max(pptr(), mHighWater != nullptr ? mHighWater : pbase()) - pbase();
}

StorageStreamBuf::int_type StorageStreamBuf::underflow()
{
    if (!mAttached || !HasMode(std::ios_base::in))
        return traits_type::eof();
    if (gptr() != nullptr && gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (sync() != 0)
        return traits_type::eof();
    // The last bytes read stay before the new ones, for putting back.
    std::size_t kept = 0;
    if (gptr() != nullptr) {
        kept = std::min<std::size_t>(kPutBack, gptr() - eback());
        std::memmove(Block() - kept, gptr() - kept, kept);
    }
    uint32_t read = 0;
    const HRESULT result = mStream->Read(Block(), kBlock, &read);
    read = std::min<uint32_t>(read, kBlock);
    mPosition += read;
    setg(Block() - kept, Block(), Block() + (KVDSucceeded(result) ? read : 0));
    return gptr() < egptr() ? traits_type::to_int_type(*gptr()) : traits_type::eof();
}

StorageStreamBuf::int_type StorageStreamBuf::overflow(int_type c)
{
    if (!mAttached || !HasMode(std::ios_base::out))
        return traits_type::eof();
    if (pbase() == nullptr || pptr() == epptr()) {
        if (sync() != 0)
            return traits_type::eof();
        setg(nullptr, nullptr, nullptr);  // the buffer now holds output
        setp(Block(), Block() + kBlock);
        mHighWater = nullptr;
    }
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

bool StorageStreamBuf::WritePending()
{
    const std::ptrdiff_t used = pptr() - pbase();
    const std::ptrdiff_t pending = PendingOutput();
    uint32_t written = 0;
    const HRESULT result = mStream->Write(pbase(), static_cast<uint32_t>(pending), &written);
    mPosition += written;
    if (!KVDSucceeded(result) && mWriteFailure == KVD_S_OK)
        mWriteFailure = result;
    bool ok = KVDSucceeded(result) && written == static_cast<uint32_t>(pending);
    // After a seek back inside the buffer, writing goes on at the put pointer, not after the
    // bytes beyond it that were written earlier.
    if (ok && used < pending) {
        uint64_t position = 0;
        ok = KVDSucceeded(mStream->Seek(used - pending, STREAM_SEEK_CUR, &position));
        if (ok)
            mPosition = position;
    }
    setp(nullptr, nullptr);
    mHighWater = nullptr;
    return ok;
}

int StorageStreamBuf::sync()
{
    if (!mAttached)
        return -1;
    if (PendingOutput() > 0)
        return WritePending() ? 0 : -1;
    if (gptr() != nullptr && gptr() < egptr()) {
        // Unread input goes back to the stream, so that its position is ours.
        uint64_t position = 0;
        if (!KVDSucceeded(mStream->Seek(-(egptr() - gptr()), STREAM_SEEK_CUR, &position)))
            return -1;
        mPosition = position;
        setg(nullptr, nullptr, nullptr);
    }
    return 0;
}

StorageStreamBuf::pos_type StorageStreamBuf::SeekStream(off_type off, std::ios_base::seekdir dir)
{
    if (sync() != 0)
        return kFailed;
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    uint64_t position = 0;
    if (!KVDSucceeded(mStream->Seek(off, SeekOrigin(dir), &position)))
        return kFailed;
    mPosition = position;
    return pos_type(off_type(position));
}

StorageStreamBuf::pos_type StorageStreamBuf::seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode)
{
    if (!mAttached)
        return kFailed;
    const off_type current = off_type(CurrentPosition());
    if (dir == std::ios_base::cur && off == 0)
        return pos_type(current);
    if (dir != std::ios_base::end) {
        const off_type target = dir == std::ios_base::beg ? off : current + off;
        if (MoveWithinBuffer(target))
            return pos_type(target);
    }
    return SeekStream(off, dir);
}

StorageStreamBuf::pos_type StorageStreamBuf::seekpos(pos_type pos, std::ios_base::openmode which)
{
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

bool StorageInStreamBuf::MoveWithinBuffer(off_type target)
{
    if (pbase() != nullptr || eback() == nullptr)
        return false;
    const off_type areaEnd = off_type(StreamPosition());
    if (target < areaEnd - (egptr() - eback()) || target > areaEnd)
        return false;
    setg(eback(), egptr() - (areaEnd - target), egptr());
    return true;
}

bool StorageOutStreamBuf::MoveWithinBuffer(off_type target)
{
    if (pbase() == nullptr)
        return false;
    const off_type start = off_type(StreamPosition());
    if (target < start || target > start + PendingOutput())
        return false;
    mHighWater = pbase() + PendingOutput();
    setp(pbase(), epptr());
    pbump(static_cast<int>(target - start));
    return true;
}

}  // namespace KVD
