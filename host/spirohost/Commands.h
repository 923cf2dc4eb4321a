// The commands of the spirohost program. Each takes the words after its name and returns the
// process exit code; bad input is reported on standard error with a non-zero code.
#pragma once

#include <string>
#include <vector>

namespace SpiroHost {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* summary;
    int (*run)(const Args& args);
};

int RunList(const Args& args);
int RunGenerate(const Args& args);
int RunInfo(const Args& args);
int RunFormula(const Args& args);
int RunDoc(const Args& args);
int RunAnalyse(const Args& args);
int RunDialog(const Args& args);
int RunView(const Args& args);
int RunSample(const Args& args);

}  // namespace SpiroHost
