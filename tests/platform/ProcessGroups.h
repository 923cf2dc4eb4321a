// Whether processes of a group are left: those of a browser that should have gone.
#pragma once

#include <dirent.h>
#include <sys/types.h>

#include <cctype>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace ProcessGroups {

// Whether a process of the group is left, zombies aside (nobody may reap an orphan's).
inline bool GroupAlive(pid_t group)
{
    DIR* proc = opendir("/proc");
    bool alive = false;
    while (dirent* entry = proc != nullptr ? readdir(proc) : nullptr) {
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0])) || !std::getline(stat, line))
            continue;
        // pid (name) state ppid pgrp ...
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        char state = 0;
        long ppid = 0, pgrp = 0;
        fields >> state >> ppid >> pgrp;
        alive = alive || (pgrp == group && state != 'Z');
    }
    if (proc != nullptr)
        closedir(proc);
    return alive;
}

// Whether the group is gone within the time: killed processes take a moment to die on a busy
// machine, and a survivor fails a test instead of hanging it.
inline bool GroupGoneWithin(pid_t group, std::chrono::milliseconds time)
{
    const auto until = std::chrono::steady_clock::now() + time;
    while (GroupAlive(group) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return !GroupAlive(group);
}

}  // namespace ProcessGroups
