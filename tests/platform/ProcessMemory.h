// The test process's resident memory as /proc/self/status gives it, in kB; the peak can be
// reset (clear_refs), so that a test measures only what it did.
#pragma once

#include <fstream>
#include <string>

namespace ProcessMemory {

inline long StatusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

inline long ResidentKb() { return StatusKb("VmRSS"); }
inline long PeakKb() { return StatusKb("VmHWM"); }
inline void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace ProcessMemory
