// The texts of the calculation library's string table, "CalcEnumsStr.kvdstrings".
#pragma once

#include <initializer_list>

#include "foundation/KVDString.h"

namespace CalcEnumsStrings {

// The text of key; the key itself when the table or the key is missing.
KVD::String Load(const wchar_t* key);

// Fills the placeholders "%1" to "%9" of format with the parameters in order; "%%" gives "%".
// A placeholder without a parameter stays as it is.
KVD::String Format(const KVD::String& format, std::initializer_list<KVD::String> parameters);

}  // namespace CalcEnumsStrings
