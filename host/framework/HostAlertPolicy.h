// How spirohost answers the plug-in's alerts with nobody at the screen: each alert is written
// with the button chosen (to standard error, unless the command's outputs take it), which is
// the first button unless a scripted answer names another.
#pragma once

#include <iostream>
#include <string>
#include <vector>

namespace Host {

// Installs the policy on the process's alert presenter; answers are button titles taken in turn,
// and each alert is told on told, which outlives the policy.
void InstallAlertPolicy(std::vector<std::string> answers = {}, std::ostream& told = std::cerr);

}  // namespace Host
