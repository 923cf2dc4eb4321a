// Where the process keeps its scratch files: the folder TMPDIR names, as every program of the
// system, else /tmp.
#pragma once

#include <string>

namespace CF {

std::string TempFolder();

// The folder as a message names it: with "(TMPDIR)" after it when TMPDIR chose it, so that a
// user sees which setting to mend.
std::string TempFolderText();

}  // namespace CF
