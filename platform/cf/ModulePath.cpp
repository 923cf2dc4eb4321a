#include "cf/ModulePath.h"

#include <dlfcn.h>

namespace CF {

std::string ModulePathOf(const void* address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr)
        return {};
    return info.dli_fname;
}

std::string ModuleFolderOf(const void* address)
{
    std::string path = ModulePathOf(address);
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace CF
