// How spirohost answers the plug-in's alerts with nobody at the screen: each alert is written
// to standard error with the button chosen, which is the first button unless a scripted
// answer names another.
#pragma once

#include <string>
#include <vector>

namespace Host {

// Installs the policy on the process's alert presenter; answers are button titles taken in turn.
void InstallAlertPolicy(std::vector<std::string> answers = {});

}  // namespace Host
