#include "cf/StringTable.h"

#include <fstream>
#include <sstream>

namespace CF {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Unescape(const std::string& raw)
{
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        const char next = i + 1 < raw.size() ? raw[i + 1] : '\0';
        const char* escaped = nullptr;
        switch (c == '\\' ? next : '\0') {
        case 'n': escaped = "\n"; break;
        case 't': escaped = "\t"; break;
        case 's': escaped = " "; break;
        case '\\': escaped = "\\"; break;
        default: break;
        }
        if (escaped != nullptr) {
            text += escaped;
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace

StringTable StringTable::Parse(const std::string& text, std::vector<std::string>* problems)
{
    auto complain = [problems](int line, const std::string& what) {
        if (problems != nullptr)
            problems->push_back("line " + std::to_string(line) + ": " + what);
    };
    StringTable table;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::size_t start = 0;
        while (start < line.size() && IsBlank(line[start]))
            ++start;
        if (start == line.size() || line[start] == '#')
            continue;
        const std::size_t equals = line.find('=', start);
        if (equals == std::string::npos) {
            complain(number, "no '=' after the key");
            continue;
        }
        std::size_t keyEnd = equals;
        while (keyEnd > start && IsBlank(line[keyEnd - 1]))
            --keyEnd;
        if (keyEnd == start) {
            complain(number, "no key before '='");
            continue;
        }
        std::size_t textStart = equals + 1;
        while (textStart < line.size() && IsBlank(line[textStart]))
            ++textStart;
        std::string key = line.substr(start, keyEnd - start);
        if (!table.mTexts.emplace(key, Unescape(line.substr(textStart))).second)
            complain(number, "the key " + key + " was given before");
    }
    return table;
}

StringTable StringTable::Load(const std::string& path, std::vector<std::string>* problems)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (problems != nullptr)
            problems->push_back("cannot read " + path);
        return {};
    }
    std::ostringstream content;
    content << file.rdbuf();
    return Parse(content.str(), problems);
}

const std::string* StringTable::Find(const std::string& key) const
{
    const auto found = mTexts.find(key);
    return found == mTexts.end() ? nullptr : &found->second;
}

}  // namespace CF
