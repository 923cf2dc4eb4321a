// Runs a command line and collects what it prints on standard output.
#pragma once

#include <string>

namespace TestSupport {

// The standard output of `command`; its exit status goes to *status.
std::string RunCommand(const std::string& command, int* status);

// The spirohost program of this build, ready to take arguments.
std::string Spirohost();

}  // namespace TestSupport
