// The numbers of an enumerator's settings text: separated by white space (the formula
// compiler writes tabs), in the classic notation, "nan" and "inf" included.
#pragma once

#include <vector>

#include "foundation/KVDString.h"

namespace HostCalc {

// False when a word is not a number or fewer than minCount numbers (or more than maxCount)
// are found.
bool ReadSettingsNumbers(const KVD::String& text, size_t minCount, size_t maxCount, std::vector<double>& numbers);

}  // namespace HostCalc
