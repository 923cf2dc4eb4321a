#include "plot/PrintStyle.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "plot/SvgNumber.h"

namespace KVD {
namespace {

std::optional<double> ReadBeforePx(const std::string& text) {
    std::string_view view(text);
    return ReadLeadingNumber(view.substr(0, view.find("px")));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A pair of characters read as a hexadecimal number as far as it goes: "0a" 10, "a" 10, "g0" 0.
int HexPair(char high, char low) {
    int first = HexDigit(high);
    if (first < 0)
        return 0;
    int second = HexDigit(low);
    return second < 0 ? first : first * 16 + second;
}

bool ReadDigits(std::string_view& text, char terminator, long& value) {
    size_t end = text.find(terminator);
    if (end == 0 || end == std::string_view::npos || end > 9)
        return false;  // nine digits still fit a long without overflow
    value = 0;
    for (char c : text.substr(0, end)) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    text.remove_prefix(end + 1);
    return true;
}

std::optional<Gfx::Color> ReadRgba(std::string_view text) {
    constexpr std::string_view kPrefix = "rgba(";
    if (text.substr(0, kPrefix.size()) != kPrefix || text.back() != ')')
        return std::nullopt;
    text.remove_prefix(kPrefix.size());
    text.remove_suffix(1);
    long rgb[3];
    for (long& component : rgb)
        if (!ReadDigits(text, ',', component))
            return std::nullopt;
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos)
        return std::nullopt;
    std::optional<float> alpha = ParseSvgFloat(text);
    if (!alpha)
        return std::nullopt;  // "1.2.3" and the like
    auto channel = [](long c) { return std::min(c, 255L) / 255.0; };
    return Gfx::Color{channel(rgb[0]), channel(rgb[1]), channel(rgb[2]), std::clamp(double(*alpha), 0.0, 1.0)};
}

}  // namespace

template <>
float StringTo<float>(const std::string& text) {
    std::optional<double> value = ReadBeforePx(text);
    if (!value || std::abs(*value) > std::numeric_limits<float>::max())
        return 0;
    return static_cast<float>(*value);
}

int OpacityToByte(const std::string& text) {
    double opacity = ReadBeforePx(text).value_or(0);
    if (opacity > 1)
        return 255;
    if (opacity < 0)
        return 0;
    return static_cast<int>(opacity * 255);
}

Gfx::Color ToColour(const std::string& text) {
    size_t hash = text.find('#');
    if (hash != std::string::npos && text.size() - hash > 6) {
        const char* pairs = text.data() + hash + 1;
        return {HexPair(pairs[0], pairs[1]) / 255.0, HexPair(pairs[2], pairs[3]) / 255.0,
                HexPair(pairs[4], pairs[5]) / 255.0, 1};
    }
    return ReadRgba(text).value_or(Gfx::Color{0, 0, 0, 1});
}

}  // namespace KVD
