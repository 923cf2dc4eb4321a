// What every compilation must give, whatever the text: a symbol list, or an error with a
// message and, when the parser found it, a position within the prepared text. Shared by the
// random-input test, the corpus replay and the libFuzzer target (fuzz/).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace CalcTest {

// Compiles formula against the test document; answers the rule it broke, or "" when none.
std::string CheckFormula(const std::wstring& formula);

// Each byte one character, so that every ASCII text and a few others are reachable.
std::wstring FormulaFromBytes(const uint8_t* data, size_t size);

}  // namespace CalcTest
