#include "RunCommand.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace TestSupport {

std::string RunCommand(const std::string& command, int* status)
{
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> chunk;
    while (size_t n = fread(chunk.data(), 1, chunk.size(), pipe))
        out.append(chunk.data(), n);
    const int raw = pclose(pipe);
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

std::string Spirohost() { return std::string(SPIRO_BINARY_DIR) + "/spirohost"; }

}  // namespace TestSupport
