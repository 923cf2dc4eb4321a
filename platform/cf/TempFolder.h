// Where the process keeps its scratch files: the folder TMPDIR names, as every program of the
// system, else /tmp.
//
// Scratch files and folders made there (and in the short folders a browser's sockets need) are
// named "spiro-KIND-PID-XXXXXX" after the process that made them, so that what a process killed
// outright left can be told from what a live one uses, and removed.
#pragma once

#include <string>

namespace CF {

std::string TempFolder();

// The folder as a message names it: with "(TMPDIR)" after it when TMPDIR chose it, so that a
// user sees which setting to mend.
std::string TempFolderText();

// The mkdtemp or mkstemps pattern of this process's scratch file or folder of that kind (a
// word) in folder: "folder/spiro-KIND-PID-XXXXXX" and the suffix.
std::string ScratchPattern(const std::string& folder, const std::string& kind, const std::string& suffix = "");

// Removes from folder the scratch files and folders, whole, of processes that are gone.
void RemoveOrphans(const std::string& folder);

}  // namespace CF
