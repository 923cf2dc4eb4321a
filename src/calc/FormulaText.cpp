#include "calc/FormulaText.h"

#include "foundation/BoundedCopy.h"

namespace CalcParser {

KVD::String LowerFormulaText(const KVD::String& text)
{
    const wchar_t* chars = text.c_str();
    unsigned i = 0;
    while (chars[i] != 0 && LowerFormulaChar(chars[i]) == chars[i])
        ++i;
    if (chars[i] == 0)
        return text;
    KVD::String lower(text);
    wcstolowercase_s(lower.Data(), lower.GetCapacity());
    return lower;
}

}  // namespace CalcParser
