#include "foundation/ResourceText.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "cf/Bundle.h"
#include "foundation/KVDString.h"
#include "foundation/TextConversion.h"
#include "foundation/Windows1252.h"

namespace KVD {

namespace {

bool StartsWith(const std::string& bytes, const char* mark, std::size_t n)
{
    return bytes.size() >= n && bytes.compare(0, n, mark, n) == 0;
}

std::wstring DecodeUTF16(const std::string& bytes, std::size_t start, bool bigEndian)
{
    std::vector<char16_t> units;
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    std::wstring text(units.size(), L'\0');
    text.resize(KVDConvertUnicode(units.data(), units.size(), text.data(), text.size()));
    return text;
}

// The text of the bytes, UTF-8 when they decode completely as UTF-8.
std::wstring DecodeUnmarked(const std::string& bytes)
{
    std::wstring text = ToWString(bytes);
    if (ToU8String(text.data(), text.size()).size() == bytes.size())
        return text;
    return DecodeWindows1252(bytes.data(), bytes.size());
}

std::wstring Decode(const std::string& bytes)
{
    if (StartsWith(bytes, "\xEF\xBB\xBF", 3))
        return ToWString(bytes.substr(3));
    if (StartsWith(bytes, "\xFF\xFE", 2))
        return DecodeUTF16(bytes, 2, false);
    if (StartsWith(bytes, "\xFE\xFF", 2))
        return DecodeUTF16(bytes, 2, true);
    return DecodeUnmarked(bytes);
}

}  // namespace

bool ReadTextFile(const std::string& path, String& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return false;
    text = String(Decode(bytes));
    return true;
}

bool ReadResourceText(NSBundle* bundle, const std::string& name, const std::string& type, String& text)
{
    if (bundle == nullptr)
        bundle = NSBundle::MainBundle();
    if (bundle == nullptr)
        return false;
    const std::string path = bundle->PathForResource(name, type);
    return !path.empty() && ReadTextFile(path, text);
}

}  // namespace KVD
