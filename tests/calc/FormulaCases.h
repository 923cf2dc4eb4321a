// Formula cases read from the data files under tests/data: each case is a line "> formula"
// (the text after "> ", exactly) followed by its expectation lines up to the next case. Lines
// starting with '#' and blank lines are comments.
#pragma once

#include <string>
#include <vector>

#include "foundation/KVDString.h"

namespace CalcTest {

struct FormulaCase {
    std::wstring formula;
    std::vector<std::string> expected;
    int line;  // of the formula in the file
};

std::vector<FormulaCase> ReadFormulaCases(const std::string& fileName);

// An expected error, written "! <code> @<position or -> <message>" where the message is
// literal text with at most one {KEY} of the calculation string table, whose placeholders take
// the parameters that follow, each after " | " (a parameter may hold {KEY} texts as well).
// \t, \r, \n, \s (a blank) and \\ are escapes.
struct ExpectedError {
    int32_t code;
    long position;  // -1: no position written
    std::wstring message;
};

// Parses an error line; false when the line is not one.
bool ParseExpectedError(const std::string& line, ExpectedError& error);

std::wstring Unescape(const std::string& utf8);

// UTF-8 of a text, for comparisons and failure messages.
std::string Utf8(const KVD::String& text);

}  // namespace CalcTest
