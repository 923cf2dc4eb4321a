// The number syntax of printable SVG: an optional sign, digits with an optional fraction,
// an optional exponent ("-1.5e3", ".5", "+2."). No "nan", "inf" or hexadecimal forms.
#pragma once

#include <optional>
#include <string_view>

namespace KVD {

// Numbers longer than this many characters are refused: the page never writes one, and a
// bound keeps hostile input from costing more than it is worth.
inline constexpr size_t kMaxSvgNumberLength = 64;

// Numbers of larger magnitude are refused: no plot coordinate comes near, and a drawing
// context that is handed a coordinate or translation beyond what it can represent may stop
// drawing altogether.
inline constexpr float kMaxSvgMagnitude = 1e7f;

// The length of the number that starts text, 0 when text does not start with one.
size_t ScanSvgNumber(std::string_view text);

// The number that is the whole of text (no white space), if it is one within the length and
// magnitude bounds.
std::optional<float> ParseSvgFloat(std::string_view text);

// A number that ScanSvgNumber measured, as a float, if it is within the length and magnitude
// bounds.
std::optional<float> ConvertScannedSvgFloat(std::string_view number);

// The number at the start of text after leading white space, read as far as it goes, as a
// stream extraction would; nullopt when none can be read or it does not fit a double.
std::optional<double> ReadLeadingNumber(std::string_view text);

std::string_view TrimSvgSpace(std::string_view text);
inline bool IsSvgSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace KVD
