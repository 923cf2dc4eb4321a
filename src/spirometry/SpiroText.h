// Texts of the plug-in's string table, each looked up once and kept for the process.
#pragma once

#include "foundation/KVDString.h"
#include "foundation/StringKeys.h"

namespace Spirometry {

template <const KVDXMLStringKey& Key>
const KVD::String& CachedText()
{
    static const KVD::String text(KVDGetMyBundle(), Key, true);
    return text;
}

}  // namespace Spirometry
