#include "foundation/storage/Element.h"

#include <cstdlib>
#include <cstring>

#include "IStream.h"
#include "KVDStorageResults.h"
#include "foundation/storage/ByteOrder.h"

namespace KVDStg {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// GUIDs are stored as Data1, Data2, Data3 little-endian, then the eight bytes.
void EncodeGuid(uint8_t* out, const _IID& id)
{
    PutU32(out, id.Data1);
    PutU16(out + 4, id.Data2);
    PutU16(out + 6, id.Data3);
    std::memcpy(out + 8, id.Data4, 8);
}

_IID DecodeGuid(const uint8_t* in)
{
    _IID id;
    id.Data1 = GetU32(in);
    id.Data2 = GetU16(in + 4);
    id.Data3 = GetU16(in + 6);
    std::memcpy(id.Data4, in + 8, 8);
    return id;
}

// Reads the 32 stored units; a name must end within them.
bool DecodeName(const uint8_t* in, char16_t* name)
{
    bool terminated = false;
    for (uint32_t i = 0; i < kNameUnits; ++i) {
        name[i] = terminated ? 0 : GetU16(in + 2 * i);
        terminated = terminated || name[i] == 0;
    }
    return terminated;
}

}  // namespace

Element::Element(const ElementName& elementName, uint32_t elementType) : type(elementType)
{
    SetName(elementName);
}

ElementName Element::MakeName(const wchar_t* text)
{
    ElementName units;
    for (; *text; ++text) {
        uint32_t c = static_cast<uint32_t>(*text);
        bool pair = c >= 0x10000 && c <= 0x10FFFF;
        if (units.size() + (pair ? 2 : 1) > kMaxNameUnits)
            break;
        if (pair) {
            c -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (c >> 10));
            units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            units += kReplacement;
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    return units;
}

char16_t Element::FoldCase(char16_t unit)
{
    char16_t upper = unit & 0xFFDF;
    bool letter = (upper >= u'A' && upper <= u'Z') || (upper >= 0xC0 && upper <= 0xDE && upper != 0xD7) ||
                  (upper >= 0x391 && upper <= 0x39F) || (upper >= 0x410 && upper <= 0x41F);
    return letter ? upper : unit;
}

ElementName Element::FoldedName(const ElementName& name)
{
    ElementName folded(name);
    for (char16_t& unit : folded)
        unit = FoldCase(unit);
    return folded;
}

ElementName Element::Key() const
{
    size_t length = 0;
    while (length < kNameUnits && name[length] != 0)
        ++length;
    return FoldedName(ElementName(name, length));
}

bool Element::NameMatches(const ElementName& key) const
{
    // Compared up to the record's terminator; past its end the key reads as zeros.
    for (size_t i = 0; i < kNameUnits; ++i) {
        char16_t k = i < key.size() ? key[i] : 0;
        if (FoldCase(k) != FoldCase(name[i]))
            return false;
        if (name[i] == 0)
            return true;
    }
    return false;
}

std::wstring Element::Name() const
{
    std::wstring text;
    for (uint32_t i = 0; i < kNameUnits && name[i]; ++i) {
        char16_t u = name[i];
        char16_t low = i + 1 < kNameUnits ? name[i + 1] : 0;
        if (u >= 0xD800 && u < 0xDC00 && low >= 0xDC00 && low < 0xE000) {
            text += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
            ++i;
        } else {
            text += static_cast<wchar_t>(u);
        }
    }
    return text;
}

void Element::SetName(const ElementName& newName)
{
    std::memset(name, 0, sizeof name);
    for (size_t i = 0; i < newName.size() && i < kMaxNameUnits; ++i)
        name[i] = newName[i];
}

HRESULT Element::MakeSTATSTG(STATSTG& stat, uint32_t flag) const
{
    stat = STATSTG();
    if ((flag & STATFLAG_NONAME) == 0) {
        std::wstring text = Name();
        stat.pwcsName = static_cast<wchar_t*>(std::malloc((text.size() + 1) * sizeof(wchar_t)));
        if (stat.pwcsName == nullptr)
            return KVD_STG_E_NOSPACE;
        std::memcpy(stat.pwcsName, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    stat.type = type;
    stat.grfMode = mode;
    stat.cbSize = IsStream() ? static_cast<uint64_t>(Size()) : 0;
    stat.clsid = classId;
    return KVD_S_OK;
}

void Element::Encode(uint8_t* out) const
{
    std::memset(out, 0, kElementSize);
    for (uint32_t i = 0; i < kNameUnits; ++i)
        PutU16(out + 2 * i, name[i]);
    PutU64(out + 64, static_cast<uint64_t>(start.offset));
    PutU32(out + 72, start.cluster);
    PutU64(out + 80, static_cast<uint64_t>(end.offset));
    PutU32(out + 88, end.cluster);
    PutU64(out + 96, modificationTime);
    PutU64(out + 104, creationTime);
    PutU64(out + 112, accessTime);
    EncodeGuid(out + 120, classId);
    PutU32(out + 136, stateBits);
    PutU32(out + 140, type);
}

HRESULT Element::Decode(const uint8_t* in, bool olderLayout)
{
    bool terminated = DecodeName(in, name);
    if (olderLayout) {
        start.offset = GetU32(in + 64);
        start.cluster = GetU32(in + 68);
        type = GetU32(in + 72);
        end.offset = GetU32(in + 76);
        end.cluster = GetU32(in + 80);
        modificationTime = GetU64(in + 84);
        creationTime = GetU64(in + 92);
        accessTime = GetU64(in + 100);
        classId = DecodeGuid(in + 108);
        stateBits = GetU32(in + 124);
    } else {
        start.offset = static_cast<int64_t>(GetU64(in + 64));
        start.cluster = GetU32(in + 72);
        end.offset = static_cast<int64_t>(GetU64(in + 80));
        end.cluster = GetU32(in + 88);
        modificationTime = GetU64(in + 96);
        creationTime = GetU64(in + 104);
        accessTime = GetU64(in + 112);
        classId = DecodeGuid(in + 120);
        stateBits = GetU32(in + 136);
        type = GetU32(in + 140);
    }
    bool sound = terminated && (type == kTypeStorage || type == kTypeStream) && start.offset == 0 &&
                 !start.AtClusterEnd() && end.offset >= 0;
    return sound ? KVD_S_OK : KVD_STG_E_CORRUPT;
}

}  // namespace KVDStg
