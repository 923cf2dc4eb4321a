#include "plot/ScriptText.h"

#include <charconv>
#include <cmath>

namespace Lumo {
namespace {

bool IsIdentifierStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

bool IsIdentifierPart(char c)
{
    return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}

}  // namespace

void AppendQuoted(std::string& out, const std::string& text)
{
    out += '\'';
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\'':
            out += "\\'";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    out += '\'';
}

void AppendNumber(std::string& out, double value)
{
    if (std::isnan(value)) {
        out += "NaN";
    } else if (std::isinf(value)) {
        out += value < 0 ? "-Infinity" : "Infinity";
    } else {
        char text[32];
        const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
        out.append(text, written.ptr);
    }
}

bool IsPlainIdentifier(const std::string& name)
{
    if (name.empty() || !IsIdentifierStart(name[0]))
        return false;
    for (const char c : name) {
        if (!IsIdentifierPart(c))
            return false;
    }
    return true;
}

}  // namespace Lumo
