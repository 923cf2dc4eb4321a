#include "cf/TempFolder.h"

#include <cstdlib>

namespace CF {
namespace {

const char* Named()
{
    const char* named = std::getenv("TMPDIR");
    return named != nullptr && *named != '\0' ? named : nullptr;
}

}  // namespace

std::string TempFolder()
{
    const char* named = Named();
    return named != nullptr ? named : "/tmp";
}

std::string TempFolderText()
{
    return Named() != nullptr ? TempFolder() + " (TMPDIR)" : TempFolder();
}

}  // namespace CF
