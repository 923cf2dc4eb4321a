#include "host/docfile/StreamChecksums.h"

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <boost/crc.hpp>

#include "IStream.h"
#include "STATSTG.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/TextConversion.h"

namespace Host::StreamChecksums {
namespace {

struct Sum {
    uint64_t length = 0;
    uint32_t crc = 0;
};

using Sums = std::map<std::string, Sum>;  // by path

class Damage : public std::runtime_error {
public:
    explicit Damage(const std::string& what) : std::runtime_error("damaged: " + what) {}
};

struct Element {
    std::wstring name;
    uint32_t type;
};

std::vector<Element> Elements(IStorage* storage)
{
    std::vector<Element> elements;
    KVD::COMPtr<IEnumSTATSTG> list;
    storage->EnumElements(0, nullptr, 0, list.Set());
    if (list == nullptr)
        throw Damage("its list of streams cannot be read");
    STATSTG stat {};
    uint32_t fetched = 0;
    while (list->Next(1, &stat, &fetched) == KVD_S_OK && fetched == 1) {
        elements.push_back({stat.pwcsName != nullptr ? stat.pwcsName : L"", stat.type});
        std::free(stat.pwcsName);
    }
    return elements;
}

Sum SumOf(IStream* stream, const std::string& path)
{
    boost::crc_32_type crc;
    std::vector<char> buffer(1 << 16);
    Sum sum;
    for (;;) {
        uint32_t read = 0;
        if (stream->Read(buffer.data(), uint32_t(buffer.size()), &read) != KVD_S_OK)
            throw Damage("its stream \"" + path + "\" cannot be read");
        if (read == 0)
            break;
        crc.process_bytes(buffer.data(), read);
        sum.length += read;
    }
    sum.crc = crc.checksum();
    return sum;
}

// The sums of every stream under storage, the checksums' own stream left out.
void Collect(IStorage* storage, const std::string& prefix, Sums& sums)
{
    for (const Element& element : Elements(storage)) {
        if (prefix.empty() && element.name == kStreamName)
            continue;
        const std::string path = prefix + KVD::ToU8String(element.name.c_str(), element.name.size());
        if (element.type == STGTY_STREAM) {
            KVD::COMPtr<IStream> stream;
            storage->OpenStream(element.name.c_str(), nullptr, STGM_READ, 0, stream.Set());
            if (stream == nullptr)
                throw Damage("its stream \"" + path + "\" cannot be opened");
            sums[path] = SumOf(stream, path);
        } else if (element.type == STGTY_STORAGE) {
            KVD::COMPtr<IStorage> child;
            storage->OpenStorage(element.name.c_str(), nullptr, STGM_READ, nullptr, 0, child.Set());
            if (child == nullptr)
                throw Damage("its storage \"" + path + "\" cannot be opened");
            Collect(child, path + "/", sums);
        }
    }
}

void Put(std::string& bytes, uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += char((value >> (8 * i)) & 0xFF);
}

uint32_t Crc(const std::string& bytes)
{
    boost::crc_32_type crc;
    crc.process_bytes(bytes.data(), bytes.size());
    return crc.checksum();
}

std::string Encode(const Sums& sums)
{
    std::string bytes;
    Put(bytes, sums.size(), 4);
    for (const auto& [path, sum] : sums) {
        Put(bytes, path.size(), 4);
        bytes += path;
        Put(bytes, sum.length, 8);
        Put(bytes, sum.crc, 4);
    }
    Put(bytes, Crc(bytes), 4);
    return bytes;
}

// Reads the stored form; a form that does not hold together is damage.
class Decoder {
public:
    explicit Decoder(const std::string& bytes) : mBytes(bytes) {}

    Sums Decode()
    {
        if (mBytes.size() < 8)
            throw Damage("its checksums are cut short");
        const std::string body = mBytes.substr(0, mBytes.size() - 4);
        mAt = body.size();
        if (Get(4) != Crc(body))
            throw Damage("its checksums do not match themselves");
        mAt = 0;
        Sums sums;
        for (uint64_t n = Get(4); n > 0; --n) {
            const uint64_t length = Get(4);
            if (length > body.size() - mAt)
                throw Damage("its checksums are cut short");
            const std::string path = body.substr(mAt, length);
            mAt += length;
            Sum& sum = sums[path];
            sum.length = Get(8);
            sum.crc = uint32_t(Get(4));
        }
        if (mAt != body.size())
            throw Damage("its checksums are followed by other bytes");
        return sums;
    }

private:
    uint64_t Get(int size)
    {
        if (mAt + size > mBytes.size())
            throw Damage("its checksums are cut short");
        uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= uint64_t(uint8_t(mBytes[mAt + i])) << (8 * i);
        mAt += size;
        return value;
    }

    const std::string& mBytes;
    size_t mAt = 0;
};

std::string ReadAll(IStream* stream)
{
    std::string bytes;
    char buffer[4096];
    uint32_t read = 0;
    while (stream->Read(buffer, sizeof buffer, &read) == KVD_S_OK && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

}  // namespace

void Write(IStorage* root)
{
    Sums sums;
    Collect(root, "", sums);
    const std::string bytes = Encode(sums);
    KVD::COMPtr<IStream> stream;
    root->CreateStream(kStreamName, STGM_CREATE | STGM_READWRITE, 0, 0, stream.Set());
    uint32_t written = 0;
    if (stream == nullptr || stream->Write(bytes.data(), uint32_t(bytes.size()), &written) != KVD_S_OK ||
        written != bytes.size())
        throw std::runtime_error("cannot write its checksums");
}

void Verify(IStorage* root)
{
    KVD::COMPtr<IStream> stream;
    root->OpenStream(kStreamName, nullptr, STGM_READ, 0, stream.Set());
    if (stream == nullptr)
        throw Damage("it has no checksums");
    const std::string bytes = ReadAll(stream);
    const Sums stored = Decoder(bytes).Decode();
    Sums found;
    Collect(root, "", found);
    for (const auto& [path, sum] : stored) {
        const auto it = found.find(path);
        if (it == found.end())
            throw Damage("its stream \"" + path + "\" is missing");
        if (it->second.length != sum.length || it->second.crc != sum.crc)
            throw Damage("its stream \"" + path + "\" does not match its checksum");
    }
    for (const auto& entry : found)
        if (stored.count(entry.first) == 0)
            throw Damage("its stream \"" + entry.first + "\" was not saved with it");
}

}  // namespace Host::StreamChecksums
