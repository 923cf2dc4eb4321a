// Processor time of a process group's processes, read from /proc: what tells a process that
// works (its time grows) from one that waits or was stopped (it does not).
#pragma once

#include <sys/types.h>

#include <string>

namespace Web {

// Seconds of processor time (user and system) used so far by the processes of the group whose
// command line holds `argument` as one of its words; 0 when there are none.
double GroupProcessorSeconds(pid_t group, const std::string& argument);

}  // namespace Web
