// The texts of one string table of a bundle, by key.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace CF {

// A table file is UTF-8 text with one entry per line, "KEY = text". Blank lines and lines
// whose first non-blank is '#' are skipped. The text runs from the first non-blank after '='
// to the end of the line; in it "\n" is a line feed, "\t" a tab, "\s" a blank (for texts that
// begin or end with one) and "\\" a backslash; any other backslash stays as written, so that
// a placeholder such as "%1\" needs no doubling.
class StringTable {
public:
    // Each malformed line and each repeated key is described in problems (when given) and
    // skipped: the first text of a key holds.
    static StringTable Parse(const std::string& text, std::vector<std::string>* problems = nullptr);

    // An unreadable file gives an empty table (and a problem).
    static StringTable Load(const std::string& path, std::vector<std::string>* problems = nullptr);

    // The text of key, or null when the table has none.
    const std::string* Find(const std::string& key) const;

    std::size_t Size() const { return mTexts.size(); }

private:
    std::unordered_map<std::string, std::string> mTexts;
};

}  // namespace CF
