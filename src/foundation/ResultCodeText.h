// The built-in texts of result codes, which become the messages of exceptions.
#pragma once

#include "KVDTypes.h"
#include "foundation/KVDString.h"

namespace KVD {

// The text of any code: data-file codes, POSIX errors, the system's own codes.
String ResultCodeText(HRESULT code);

// The text of a data-file or stream code (0xF8008000-0xF800BFFF); empty for codes without one.
String DataFileResultCodeText(HRESULT code);

}  // namespace KVD
