#include "plot/SvgNumber.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>

namespace KVD {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t SkipDigits(std::string_view text, size_t at) {
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at;
}

template <class Number>
std::optional<Number> Convert(std::string_view number) {
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);  // from_chars takes a minus sign only
    Number value{};
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A plain decimal of at most 2^24 in its digits and ten places, as from_chars reads it: both
// the digits and the power of ten are exact floats, so one float division rounds as reading
// the decimal does. Paths are thousands of such numbers; others are left to from_chars.
std::optional<float> ConvertShortDecimal(std::string_view number) {
    static constexpr float kPowers[] = {1, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr uint32_t kExactDigits = 1u << 24;
    size_t at = 0;
    bool negative = number.front() == '-';
    if (negative || number.front() == '+')
        ++at;
    uint32_t digits = 0;
    int places = -1;  // digits after the point, once there is one
    bool anyDigit = false;
    for (; at < number.size(); ++at) {
        char c = number[at];
        if (c == '.' && places < 0) {
            places = 0;
            continue;
        }
        if (!IsDigit(c))
            return std::nullopt;  // an exponent
        anyDigit = true;
        digits = digits * 10 + static_cast<uint32_t>(c - '0');
        if (digits > kExactDigits)
            return std::nullopt;
        if (places >= 0 && ++places > 10)
            return std::nullopt;
    }
    if (!anyDigit)
        return std::nullopt;
    float value = static_cast<float>(digits) / kPowers[std::max(places, 0)];
    return negative ? -value : value;
}

}  // namespace

size_t ScanSvgNumber(std::string_view text) {
    size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    size_t integral = SkipDigits(text, at);
    size_t end = integral;
    if (end < text.size() && text[end] == '.')
        end = SkipDigits(text, end + 1);
    if (integral == at && end <= integral + 1)
        return 0;  // no digit before or after the point
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        size_t exponentEnd = SkipDigits(text, exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;  // an "e" without digits belongs to what follows
    }
    return end;
}

std::optional<float> ParseSvgFloat(std::string_view text) {
    if (ScanSvgNumber(text) != text.size())
        return std::nullopt;
    return ConvertScannedSvgFloat(text);
}

std::optional<float> ConvertScannedSvgFloat(std::string_view number) {
    if (number.empty() || number.size() > kMaxSvgNumberLength)
        return std::nullopt;
    std::optional<float> value = ConvertShortDecimal(number);
    if (!value)
        value = Convert<float>(number);
    if (value && std::abs(*value) > kMaxSvgMagnitude)
        return std::nullopt;
    return value;
}

std::optional<double> ReadLeadingNumber(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && IsSvgSpace(text[start]))
        ++start;
    text.remove_prefix(start);
    size_t length = ScanSvgNumber(text);
    if (length == 0 || length > kMaxSvgNumberLength)
        return std::nullopt;
    return Convert<double>(text.substr(0, length));
}

std::string_view TrimSvgSpace(std::string_view text) {
    while (!text.empty() && IsSvgSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSvgSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace KVD
