#include "FormulaCases.h"

#include <fstream>
#include <stdexcept>

#include "calc/CalcMessages.h"
#include "foundation/KVDString.h"
#include "foundation/OFormatStream.h"

namespace CalcTest {
namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t found = text.find(separator); found != std::string::npos; found = text.find(separator, start)) {
        pieces.push_back(text.substr(start, found - start));
        start = found + separator.size();
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

std::wstring Wide(const std::string& utf8)
{
    const KVD::String text = KVD::ToKVDString(utf8);
    return std::wstring(text.c_str(), text.length());
}

// Each {KEY} replaced by the text of KEY in the calculation string table.
std::wstring WithTableTexts(std::wstring text)
{
    for (size_t open = text.find(L'{'); open != std::wstring::npos; open = text.find(L'{', open)) {
        const size_t close = text.find(L'}', open);
        if (close == std::wstring::npos)
            break;
        const std::string key = KVD::ToU8String(KVD::String(text.substr(open + 1, close - open - 1)));
        const KVD::String& replacement = CalcParser::CalcText(KVDXMLStringKey{key.c_str(), CalcEnumsStr::kTable});
        text.replace(open, close - open + 1, replacement.c_str(), replacement.length());
        open += replacement.length();
    }
    return text;
}

}  // namespace

std::string Utf8(const KVD::String& text)
{
    return KVD::ToU8String(text);
}

std::wstring Unescape(const std::string& utf8)
{
    const std::wstring text = Wide(utf8);
    std::wstring plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        switch (text[++i]) {
        case L't':
            plain += L'\t';
            break;
        case L'r':
            plain += L'\r';
            break;
        case L'n':
            plain += L'\n';
            break;
        case L's':
            plain += L' ';
            break;
        default:
            plain += text[i];
        }
    }
    return plain;
}

std::vector<FormulaCase> ReadFormulaCases(const std::string& fileName)
{
    const std::string path = std::string(SPIRO_TEST_DATA_DIR) + "/" + fileName;
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<FormulaCase> cases;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line.rfind("> ", 0) == 0)
            cases.push_back({Wide(line.substr(2)), {}, number});
        else if (!cases.empty())
            cases.back().expected.push_back(line);
    }
    return cases;
}

bool ParseExpectedError(const std::string& line, ExpectedError& error)
{
    if (line.rfind("! ", 0) != 0)
        return false;
    const size_t codeEnd = line.find(' ', 2);
    const size_t positionEnd = line.find(' ', codeEnd + 1);
    if (codeEnd == std::string::npos || positionEnd == std::string::npos || line[codeEnd + 1] != '@')
        return false;
    error.code = static_cast<int32_t>(std::stoul(line.substr(2, codeEnd - 2), nullptr, 16));
    const std::string position = line.substr(codeEnd + 2, positionEnd - codeEnd - 2);
    error.position = position == "-" ? -1 : std::stol(position);
    const std::vector<std::string> pieces = Split(line.substr(positionEnd + 1), " | ");
    const std::string& message = pieces[0];
    const size_t open = message.find('{');
    const size_t close = message.find('}');
    if (open == std::string::npos || close == std::string::npos) {
        error.message = Unescape(message);
        return true;
    }
    const std::string name = message.substr(open + 1, close - open - 1);
    const KVDXMLStringKey key{name.c_str(), CalcEnumsStr::kTable};
    KVD::OFormatStringStream format(CalcParser::CalcText(key));
    for (size_t i = 1; i < pieces.size(); ++i)
        format << KVD::String(WithTableTexts(Unescape(pieces[i])));
    const KVD::String filled = pieces.size() > 1 ? format.str() : CalcParser::CalcText(key);
    error.message = Unescape(message.substr(0, open)) + std::wstring(filled.c_str(), filled.length()) +
                    Unescape(message.substr(close + 1));
    return true;
}

}  // namespace CalcTest
