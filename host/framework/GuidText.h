// GUIDs as the usual upper-case text, 8-4-4-4-12.
#pragma once

#include <string>

#include "KVDTypes.h"

namespace Host {

std::string GuidToString(const _IID& guid);

}  // namespace Host
