// What a result code that crossed the boundary means, in words for a message: the boundary's
// own codes, POSIX errors and the data-file codes; the bare code only for one nobody knows.
#pragma once

#include <string>

#include "KVDTypes.h"

namespace Host {

std::string ResultText(HRESULT code);

}  // namespace Host
