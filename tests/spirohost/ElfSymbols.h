// Reads the defined global symbols of a shared library's dynamic symbol table.
#pragma once

#include <string>
#include <vector>

namespace TestSupport {

// Names of the dynamic symbols that the library defines with global or weak binding.
// Throws std::runtime_error when the file is not a 64-bit ELF shared library.
std::vector<std::string> DefinedGlobalSymbols(const std::string& path);

}  // namespace TestSupport
