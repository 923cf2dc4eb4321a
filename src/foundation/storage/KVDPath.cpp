#include "foundation/storage/KVDPath.h"

#include <cstdint>

namespace KVD {

namespace {

bool IsUTF8(const std::string& bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        uint8_t lead = static_cast<uint8_t>(bytes[i]);
        size_t more = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : 4;
        if (more == 4 || (more == 1 && lead < 0xC2) || i + more >= bytes.size())
            return false;
        for (size_t k = 1; k <= more; ++k) {
            if ((static_cast<uint8_t>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += more + 1;
    }
    return true;
}

}  // namespace

Path::Path(const std::string& utf8)
{
    if (IsUTF8(utf8))
        mPath = utf8;
}

Path& Path::operator/=(const Path& other)
{
    if (other.empty())
        return *this;
    if (empty()) {
        mPath = other.mPath;
        return *this;
    }
    if (mPath.back() != '/')
        mPath += '/';
    mPath += other.mPath[0] == '/' ? other.mPath.substr(1) : other.mPath;
    return *this;
}

}  // namespace KVD
