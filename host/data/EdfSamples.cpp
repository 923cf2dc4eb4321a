#include "host/data/EdfSamples.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

#include "host/data/Recording.h"

#if __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "EDF stores little-endian 16-bit samples; decoding them in bulk assumes the same order"
#endif

namespace Host {
namespace {

// Closes the file on every path out.
struct FileHandle {
    int fd = -1;
    ~FileHandle()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Reads count bytes at offset; false when the file ends first or the read fails.
bool ReadAt(int fd, int64_t offset, size_t count, unsigned char* into)
{
    while (count > 0) {
        const ssize_t got = ::pread(fd, into, count, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        into += got;
        offset += got;
        count -= size_t(got);
    }
    return true;
}

int16_t Stored(int value)
{
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

// How a signal's samples go into its channel. A slower signal's sample j of a record is held
// from tick ceil(j x ticks / samplesPerRecord) of the record up to the next one's: the ticks
// are computed from the ratio as the samples come, so that nothing is kept per tick.
class Decoder {
public:
    Decoder(const EdfSignal& signal, uint32_t ticks, std::vector<int16_t>* out)
        : mSamples(uint32_t(signal.samplesPerRecord)),
          mTicks(ticks),
          mLow(Stored(signal.digitalMin)),
          mHigh(Stored(signal.digitalMax)),
          mStorage(signal.storage),
          mOut(out)
    {
    }

    // Appends the ticks of samples first to first + count - 1 of the signal's part of a record,
    // stored at in.
    void Append(const unsigned char* in, uint32_t first, uint32_t count) const
    {
        if (mSamples == mTicks) {
            AppendEach(in, count);
            return;
        }
        for (uint32_t k = 0; k < count; ++k)
            mOut->insert(mOut->end(), FirstTick(first + k + 1) - FirstTick(first + k), Sample(in, k));
    }

private:
    static constexpr uint32_t kChunk = 4096;

    int16_t Sample(const unsigned char* in, uint32_t k) const
    {
        int16_t v;
        std::memcpy(&v, in + 2 * size_t(k), sizeof v);
        return int16_t(std::clamp(v, mLow, mHigh) * mStorage.factor + mStorage.shift);
    }

    uint64_t FirstTick(uint32_t sample) const { return (uint64_t(sample) * mTicks + mSamples - 1) / mSamples; }

    // A signal at the rate of the ticks, a chunk at a time.
    void AppendEach(const unsigned char* in, uint32_t count) const
    {
        int16_t chunk[kChunk];
        for (uint32_t done = 0; done < count;) {
            const uint32_t n = std::min(kChunk, count - done);
            for (uint32_t k = 0; k < n; ++k)
                chunk[k] = Sample(in, done + k);
            mOut->insert(mOut->end(), chunk, chunk + n);
            done += n;
        }
    }

    uint32_t mSamples;
    uint32_t mTicks;
    int16_t mLow, mHigh;
    EdfStorage mStorage;
    std::vector<int16_t>* mOut;
};

// Where the data records' bytes go as they are read, in pieces of any even size: the signal
// and the sample of its part of the record that the next bytes hold.
class RecordWalk {
public:
    RecordWalk(const EdfData& data, std::vector<std::vector<int16_t>>& samples)
        : mSignals(data.signals)
    {
        const uint32_t ticks = static_cast<uint32_t>(data.fastest);
        for (const EdfSignal& signal : mSignals)
            mDecoders.emplace_back(signal.channel >= 0 ? std::make_optional<Decoder>(
                                                             signal, ticks, &samples[size_t(signal.channel)])
                                                       : std::nullopt);
    }

    void Feed(const unsigned char* bytes, size_t count)
    {
        for (size_t left = count / 2; left > 0;) {
            const uint32_t perRecord = uint32_t(mSignals[mSignal].samplesPerRecord);
            const uint32_t n = uint32_t(std::min<size_t>(left, perRecord - mSample));
            if (mDecoders[mSignal])
                mDecoders[mSignal]->Append(bytes, mSample, n);
            bytes += 2 * size_t(n);
            left -= n;
            mSample += n;
            if (mSample == perRecord) {
                mSample = 0;
                mSignal = (mSignal + 1) % mSignals.size();
            }
        }
    }

private:
    const std::vector<EdfSignal>& mSignals;
    std::vector<std::optional<Decoder>> mDecoders;
    size_t mSignal = 0;
    uint32_t mSample = 0;
};

// Whole records a read where one fits in a block; else a block of a record at a time (whole
// samples), so that reading takes no more than a block whatever a record holds.
size_t BytesPerRead(size_t recordBytes, size_t blockBytes)
{
    return recordBytes <= blockBytes ? blockBytes / recordBytes * recordBytes
                                     : std::max<size_t>(2, blockBytes & ~size_t(1));
}

}  // namespace

EdfStorage StorageOf(int digitalMin, int digitalMax)
{
    EdfStorage storage;
    const int64_t values = int64_t(digitalMax) - digitalMin + 1;
    while (values * storage.factor * 2 <= 65536)
        storage.factor *= 2;
    // Widened in place where that fits (a zero stays a zero); else about the middle of the
    // 16 bits. The factor is even there, and so the middle a whole number.
    if (digitalMin * storage.factor < -32768 || digitalMax * storage.factor > 32767)
        storage.shift = int(-(int64_t(digitalMin) + digitalMax) * storage.factor / 2);
    return storage;
}

std::vector<std::vector<int16_t>> ReadEdfSamples(const std::string& path, const EdfData& data, size_t blockBytes)
{
    size_t recordBytes = 0;
    int channels = 0;
    for (const EdfSignal& signal : data.signals) {
        recordBytes += 2 * size_t(signal.samplesPerRecord);
        channels = std::max(channels, signal.channel + 1);
    }
    std::vector<std::vector<int16_t>> samples(static_cast<size_t>(channels));
    // Reserved, not filled: the decoded samples are appended, so each is written once.
    for (std::vector<int16_t>& channel : samples)
        channel.reserve(uint64_t(std::max<int64_t>(data.records, 0)) * uint32_t(data.fastest));
    if (data.records <= 0 || recordBytes == 0)
        return samples;

    FileHandle file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd < 0)
        throw RecordingError(path + ": the file cannot be opened: " + std::strerror(errno));
    const uint64_t total = uint64_t(data.records) * recordBytes;
    const size_t perRead = size_t(std::min<uint64_t>(total, BytesPerRead(recordBytes, blockBytes)));
    const std::unique_ptr<unsigned char[]> block(new unsigned char[perRead]);
    RecordWalk walk(data, samples);
    for (uint64_t done = 0; done < total; done += perRead) {
        const size_t count = size_t(std::min<uint64_t>(perRead, total - done));
        if (!ReadAt(file.fd, data.offset + int64_t(done), count, block.get()))
            throw RecordingError(path + ": data record " + std::to_string(done / recordBytes + 1) +
                                 " or one after it cannot be read");
        walk.Feed(block.get(), count);
    }
    return samples;
}

}  // namespace Host
