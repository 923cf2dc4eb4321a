#include "plot/SvgNumber.h"

#include <charconv>
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
    std::optional<float> value = Convert<float>(number);
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
