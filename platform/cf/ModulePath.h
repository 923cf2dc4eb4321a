// Where the code of this process lives on disk.
#pragma once

#include <string>

namespace CF {

// The file of the executable or shared library that contains the given code address;
// empty when the loader does not know it.
std::string ModulePathOf(const void* address);

// The folder of that file.
std::string ModuleFolderOf(const void* address);

}  // namespace CF
