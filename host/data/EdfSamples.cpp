#include "host/data/EdfSamples.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

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

// How one signal's part of a record goes into its channel.
struct Decoder {
    size_t offset;  // of the signal's samples within a record, in bytes
    int16_t low, high;
    std::vector<uint32_t> held;  // per tick of a record, its sample; empty at the fastest rate
    std::vector<int16_t>* out;

    void Record(const unsigned char* record, uint32_t ticks, int16_t* to) const
    {
        const unsigned char* in = record + offset;
        if (held.empty()) {
            for (uint32_t k = 0; k < ticks; ++k) {
                int16_t v;
                std::memcpy(&v, in + 2 * size_t(k), sizeof v);
                to[k] = std::clamp(v, low, high);
            }
            return;
        }
        for (uint32_t k = 0; k < ticks; ++k) {
            int16_t v;
            std::memcpy(&v, in + 2 * size_t(held[k]), sizeof v);
            to[k] = std::clamp(v, low, high);
        }
    }
};

int16_t Stored(int value)
{
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

}  // namespace

std::vector<std::vector<int16_t>> ReadEdfSamples(const std::string& path, const EdfData& data, size_t blockBytes)
{
    const uint32_t ticks = static_cast<uint32_t>(data.fastest);
    size_t recordBytes = 0;
    int channels = 0;
    for (const EdfSignal& signal : data.signals) {
        recordBytes += 2 * size_t(signal.samplesPerRecord);
        channels = std::max(channels, signal.channel + 1);
    }
    const uint64_t total = uint64_t(data.records) * ticks;
    std::vector<std::vector<int16_t>> samples(static_cast<size_t>(channels));
    std::vector<Decoder> decoders;
    size_t offset = 0;
    for (const EdfSignal& signal : data.signals) {
        if (signal.channel >= 0) {
            // Reserved, not filled: the decoded blocks are appended, so each sample is written once.
            std::vector<int16_t>& into = samples[size_t(signal.channel)];
            into.reserve(total);
            Decoder d{offset, Stored(signal.digitalMin), Stored(signal.digitalMax), {}, &into};
            if (signal.samplesPerRecord != data.fastest) {
                d.held.resize(ticks);
                for (uint32_t k = 0; k < ticks; ++k)
                    d.held[k] = uint32_t(uint64_t(k) * uint64_t(signal.samplesPerRecord) / ticks);
            }
            decoders.push_back(std::move(d));
        }
        offset += 2 * size_t(signal.samplesPerRecord);
    }
    if (data.records <= 0 || recordBytes == 0)
        return samples;

    FileHandle file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd < 0)
        throw RecordingError(path + ": the file cannot be opened: " + std::strerror(errno));
    const int64_t perBlock = std::max<int64_t>(1, std::min<int64_t>(data.records, int64_t(blockBytes / recordBytes)));
    const std::unique_ptr<unsigned char[]> block(new unsigned char[size_t(perBlock) * recordBytes]);
    const std::unique_ptr<int16_t[]> decoded(new int16_t[size_t(perBlock) * ticks]);
    for (int64_t first = 0; first < data.records; first += perBlock) {
        const size_t count = size_t(std::min(perBlock, data.records - first));
        if (!ReadAt(file.fd, data.offset + first * int64_t(recordBytes), count * recordBytes, block.get()))
            throw RecordingError(path + ": data record " + std::to_string(first + 1) + " or one after it cannot be read");
        for (const Decoder& d : decoders) {
            for (size_t r = 0; r < count; ++r)
                d.Record(block.get() + r * recordBytes, ticks, decoded.get() + r * ticks);
            d.out->insert(d.out->end(), decoded.get(), decoded.get() + count * ticks);
        }
    }
    return samples;
}

}  // namespace Host
