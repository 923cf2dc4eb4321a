#include "plot/ScriptResources.h"

#include <algorithm>
#include <cstring>
#include <locale>

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/algorithm/string/split.hpp>

#include "plot/ScriptFileTable.h"

namespace Lumo {
namespace {

using Row = const char* const[kFileTableSlots];

// The first row named name, in table order.
const char* const* FindRow(const std::string& name)
{
    for (Row* row = kFileTable; (*row)[0] != nullptr; ++row) {
        if (name == (*row)[0])
            return *row;
    }
    return nullptr;
}

// Applies one word of a bundle name to the flags; answers the negation mark for the next word.
bool ApplyWord(const std::string& word, bool negated, int& flags)
{
    if (word == "no" || word == "not")
        return true;
    int bit = 0;
    bool sets = !negated;
    if (word == "local") {
        bit = kBundleRemote;
        sets = negated;
    } else if (word == "remote") {
        bit = kBundleRemote;
    } else if (word == "jquery") {
        bit = kBundleJQuery;
    }
    if (bit != 0)
        flags = sets ? (flags | bit) : (flags & ~bit);
    return false;
}

}  // namespace

bool GetResource(const std::string& name, std::vector<char>& data, std::string& mimeType)
{
    data.clear();
    const std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    mimeType.clear();
    const std::string extension = name.substr(dot);
    if (extension == ".js")
        mimeType = "text/javascript";
    else if (extension == ".html")
        mimeType = "text/html";
    else
        return false;

    int flags = 0;
    if (!GetResourceFlags(name, flags))
        return WriteRes(name, data);

    std::vector<std::string> names;
    GetResNames(names);
    const auto optional = [](const std::string& file) {
        return file == "jquery.js" || file == "main.js" || file == "remote.js";
    };
    names.erase(std::remove_if(names.begin(), names.end(), optional), names.end());
    data.clear();
    if (flags & kBundleJQuery)
        WriteRes("jquery.js", data);
    WriteRes("main.js", data);
    if (flags & kBundleRemote)
        WriteRes("remote.js", data);
    for (const std::string& file : names)
        WriteRes(file, data);
    return true;
}

bool GetResourceFlags(const std::string& name, int& flags)
{
    flags = kBundleJQuery | kBundleRemote;
    const std::string lower = boost::algorithm::to_lower_copy(name, std::locale());
    const std::string::size_type dot = lower.find('.');
    if (dot == std::string::npos || lower.compare(dot, std::string::npos, ".js") != 0)
        return false;
    std::vector<std::string> words;
    const std::string stem = lower.substr(0, dot);
    boost::algorithm::split(words, stem, [](char c) { return c == '_'; });
    words.erase(std::remove(words.begin(), words.end(), std::string()), words.end());
    if (words.empty())
        return true;
    if (words[0] != "lumo")
        return false;
    bool negated = false;
    for (const std::string& word : words)
        negated = ApplyWord(word, negated, flags);
    return true;
}

void GetResNames(std::vector<std::string>& names)
{
    names.clear();
    for (Row* row = kFileTable; (*row)[0] != nullptr; ++row)
        names.emplace_back((*row)[0]);
}

bool WriteRes(const std::string& name, std::vector<char>& data)
{
    const char* const* row = FindRow(name);
    if (row == nullptr)
        return false;
    std::size_t size = 0;
    for (const char* const* piece = row + 1; *piece != nullptr; ++piece)
        size += std::strlen(*piece);
    if (size < 1)
        return false;
    data.reserve(data.size() + size + 2);
    for (const char* const* piece = row + 1; *piece != nullptr; ++piece)
        data.insert(data.end(), *piece, *piece + std::strlen(*piece));
    data.push_back('\r');
    data.push_back('\n');
    return true;
}

}  // namespace Lumo
