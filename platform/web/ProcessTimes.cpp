#include "web/ProcessTimes.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace Web {
namespace {

// Whether /proc/<pid>/cmdline holds the argument: its words are NUL-separated, or one text
// separated by spaces when the process has set its title, as the browser's renderers do.
bool HasArgument(const std::string& folder, const std::string& argument)
{
    std::ifstream in(folder + "/cmdline", std::ios::binary);
    std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::replace(line.begin(), line.end(), '\0', ' ');
    return (" " + line + " ").find(" " + argument + " ") != std::string::npos;
}

}  // namespace

double GroupProcessorSeconds(pid_t group, const std::string& argument)
{
    DIR* proc = opendir("/proc");
    if (proc == nullptr)
        return 0;
    const double tick = double(sysconf(_SC_CLK_TCK));
    double seconds = 0;
    while (dirent* entry = readdir(proc)) {
        if (std::atol(entry->d_name) <= 0)
            continue;
        const std::string folder = std::string("/proc/") + entry->d_name;
        std::ifstream in(folder + "/stat");
        const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // After the command's name in parentheses: state, parent, group, ..., user and system
        // time (the 12th and 13th fields after it) in clock ticks.
        const size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 1));
        std::string state;
        long parent = 0, processGroup = 0, skipped = 0;
        unsigned long long user = 0, system = 0;
        fields >> state >> parent >> processGroup;
        for (int i = 0; i < 8; ++i)
            fields >> skipped;
        fields >> user >> system;
        if (fields && processGroup == group && HasArgument(folder, argument))
            seconds += double(user + system) / tick;
    }
    closedir(proc);
    return seconds;
}

}  // namespace Web
