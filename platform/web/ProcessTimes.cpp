#include "web/ProcessTimes.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace Web {
namespace {

// The bytes of a file under /proc, or what could be read before the process behind it ended:
// reading a gone process's file fails (ESRCH), which a file stream would throw.
std::string ReadProcessFile(const std::string& path)
{
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes.append(buffer, size_t(got));
    }
    ::close(fd);
    return bytes;
}

// Whether /proc/<pid>/cmdline holds the argument: its words are NUL-separated, or one text
// separated by spaces when the process has set its title, as the browser's renderers do.
bool HasArgument(const std::string& folder, const std::string& argument)
{
    std::string line = ReadProcessFile(folder + "/cmdline");
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
        const std::string stat = ReadProcessFile(folder + "/stat");
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
