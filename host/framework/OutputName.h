// What an output's name reaches. Names under /dev and /proc are the system's: putting a file in
// place there would replace a device, or the link of a stream, for every program on the
// machine. Of them only this process's standard output and error are taken (/dev/stdout,
// /dev/fd/1, /proc/self/fd/1, /dev/stderr, ..., however spelt), and written to their streams.
// /dev/shm is a folder of ordinary files like any other.
#pragma once

#include <string>

namespace Host {

enum class OutputKind {
    kFile,            // a file to put in place
    kStandardOutput,  // written to descriptor 1
    kStandardError,   // written to descriptor 2
    kSystem,          // refused: any other name under /dev (but /dev/shm) or /proc
};

// The folders that hold the system's names; tests give stand-ins for them.
struct SystemFolders {
    std::string devices = "/dev";
    std::string processes = "/proc";
};

// Judged by where target's folder resolves (links, "." and ".." followed) and by the name in
// it; a folder that is one of the system's mounted elsewhere counts as the system's. A folder
// that does not resolve takes no file, which the write itself reports: kFile.
OutputKind OutputKindOf(const std::string& target, const SystemFolders& system = SystemFolders());

// The descriptor that a stream kind is written to; -1 for the others.
int StreamDescriptor(OutputKind kind);

}  // namespace Host
