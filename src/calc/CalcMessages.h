// The formula compiler's message texts: the entries of the string table
// "CalcEnumsStr.kvdstrings", each loaded once on first use and kept, and their placeholders
// filled by the format stream.
#pragma once

#include "foundation/KVDString.h"
#include "foundation/OFormatStream.h"
#include "foundation/StringKeys.h"

namespace CalcParser {

// The text of a key of "CalcEnumsStr.kvdstrings" (CalcEnumsStr::IDS_...).
const KVD::String& CalcText(const KVDXMLStringKey& key);

// The text of key with its placeholders %1, %2, ... filled by the values in order.
template <class... T>
KVD::String FormatCalcText(const KVDXMLStringKey& key, const T&... values)
{
    KVD::OFormatStringStream format(CalcText(key));
    (format << ... << values);
    return format.str();
}

// The user's list separator, one character (";" where the decimal separator is ",").
wchar_t ListSeparator();

// The text with each '.' written as the user's decimal separator and each ',' as the list
// separator, for showing a piece of a formula in a message.
KVD::String LocalizeNumText(const KVD::String& text);

}  // namespace CalcParser
