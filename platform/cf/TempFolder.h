// Where the process keeps its scratch files: the folder TMPDIR names, as every program of the
// system, else /tmp.
//
// Scratch files and folders made there (and in the short folders a browser's sockets need) have
// one name shape per kind, "spiro-KIND-PID-XXXXXX" and the kind's suffix, and their maker holds
// a lock on each for as long as it has it (CF::Scratch). What a process killed outright left is
// told by that lock, which the system drops however the process ends, in whatever process-number
// namespace it ran: the next browser removes those, and nothing else.
#pragma once

#include <string>

namespace CF {

// The kinds of scratch things the system makes: the browser's profile folder, the folder of a
// short way to its scratch folder, and the files a page's picture or print is drawn into.
enum class ScratchKind { kProfile, kLink, kPicture, kPrint };

std::string TempFolder();

// The folder as a message names it: with "(TMPDIR)" after it when TMPDIR chose it, so that a
// user sees which setting to mend.
std::string TempFolderText();

// The mkdtemp or mkstemps pattern of this process's scratch thing of that kind in folder:
// "folder/spiro-KIND-PID-XXXXXX" and the kind's suffix.
std::string ScratchPattern(const std::string& folder, ScratchKind kind);
// The length of the kind's suffix (mkstemps's), and whether the kind is a folder.
size_t ScratchSuffixLength(ScratchKind kind);
bool IsScratchFolder(ScratchKind kind);

// Removes from folder, whole, the scratch things this system made whose makers have ended: an
// entry of one of the kinds' name shapes and of its kind's type (a folder or a regular file,
// never a link), owned by this user, named after no running process, whose lock can be taken.
// Whatever cannot be told so stays.
void RemoveOrphans(const std::string& folder);

}  // namespace CF
