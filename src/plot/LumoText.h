// Texts of the plot engine from the bundle's string table, and filling their placeholders.
#pragma once

#include <string>
#include <vector>

#include "foundation/StringResources.h"

namespace Lumo {

// The key's text (UTF-8), looked up once per key.
const std::string& Text(const KVDXMLStringKey& key);

// "%1" ... "%9" replaced by the arguments in one pass (inserted text is never read again for
// placeholders); "%%" gives a percent sign; a placeholder without an argument is dropped.
std::string Fill(const std::string& format, const std::vector<std::string>& arguments);

}  // namespace Lumo
