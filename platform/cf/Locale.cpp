#include "cf/Locale.h"

#include <langinfo.h>
#include <locale.h>
#include <mutex>
#include <optional>
#include <vector>

namespace CF {

namespace {

std::mutex gOverrideLock;
std::optional<LocaleFacts> gOverride;

// One piece of a time pattern: a field in pattern letters, or literal text.
struct TimePiece {
    std::string text;
    bool field;
    bool seconds;
};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void AddLiteral(std::vector<TimePiece>& pieces, char c)
{
    if (pieces.empty() || pieces.back().field)
        pieces.push_back({"", false, false});
    pieces.back().text += c;
}

void AppendPieces(std::vector<TimePiece>& pieces, const std::string& format, const std::string& ampmFormat, int depth)
{
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            AddLiteral(pieces, format[i]);
            continue;
        }
        char conversion = format[++i];
        while ((conversion == 'E' || conversion == 'O' || conversion == '-' || conversion == '_' || conversion == '0')
               && i + 1 < format.size())
            conversion = format[++i];
        switch (conversion) {
        case 'H': pieces.push_back({"HH", true, false}); break;
        case 'k': pieces.push_back({"H", true, false}); break;
        case 'I': pieces.push_back({"hh", true, false}); break;
        case 'l': pieces.push_back({"h", true, false}); break;
        case 'M': pieces.push_back({"mm", true, false}); break;
        case 'S': pieces.push_back({"ss", true, true}); break;
        case 'p':
        case 'P': pieces.push_back({"a", true, false}); break;
        case 'T': AppendPieces(pieces, "%H:%M:%S", ampmFormat, depth); break;
        case 'R': AppendPieces(pieces, "%H:%M", ampmFormat, depth); break;
        case 'r':
            if (depth == 0)  // a locale whose 12-hour format names itself must not loop
                AppendPieces(pieces, ampmFormat, ampmFormat, depth + 1);
            break;
        case '%': AddLiteral(pieces, '%'); break;
        default: break;  // dates, zones and the like have no place in a time of day
        }
    }
}

std::string Quoted(const std::string& literal)
{
    bool letters = false;
    for (char c : literal)
        letters = letters || IsAsciiLetter(c) || c == '\'';
    if (!letters)
        return literal;
    std::string quoted = "'";
    for (char c : literal)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string ShortTimePatternOf(const std::string& strftimeFormat, const std::string& ampmFormat)
{
    std::vector<TimePiece> pieces;
    AppendPieces(pieces, strftimeFormat, ampmFormat, 0);
    std::string pattern;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        // The short format leaves the seconds out, with the separator that leads to them.
        const bool leadsToSeconds = !pieces[i].field && i + 1 < pieces.size() && pieces[i + 1].seconds;
        if (pieces[i].seconds || leadsToSeconds)
            continue;
        pattern += pieces[i].field ? pieces[i].text : Quoted(pieces[i].text);
    }
    return pattern;
}

bool LocaleFactsOf(const std::string& name, LocaleFacts* facts)
{
    locale_t locale = newlocale(LC_NUMERIC_MASK | LC_TIME_MASK, name.c_str(), static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        return false;
    facts->decimalSeparator = nl_langinfo_l(RADIXCHAR, locale);
    facts->amSymbol = nl_langinfo_l(AM_STR, locale);
    facts->pmSymbol = nl_langinfo_l(PM_STR, locale);
    facts->shortTimePattern = ShortTimePatternOf(nl_langinfo_l(T_FMT, locale), nl_langinfo_l(T_FMT_AMPM, locale));
    freelocale(locale);
    return true;
}

LocaleFacts CurrentLocaleFacts()
{
    {
        std::lock_guard<std::mutex> guard(gOverrideLock);
        if (gOverride)
            return *gOverride;
    }
    LocaleFacts facts;
    if (!LocaleFactsOf("", &facts))
        LocaleFactsOf("C", &facts);
    return facts;
}

void SetCurrentLocaleFacts(const LocaleFacts& facts)
{
    std::lock_guard<std::mutex> guard(gOverrideLock);
    gOverride = facts;
}

void ResetCurrentLocaleFacts()
{
    std::lock_guard<std::mutex> guard(gOverrideLock);
    gOverride.reset();
}

}  // namespace CF
