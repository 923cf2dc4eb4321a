// An environment variable set for a test's while, then put back as it was.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

namespace TestSupport {

class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : mName(name)
    {
        const char* was = std::getenv(name);
        mWas = was != nullptr ? std::make_unique<std::string>(was) : nullptr;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() { mWas != nullptr ? ::setenv(mName, mWas->c_str(), 1) : ::unsetenv(mName); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* mName;
    std::unique_ptr<std::string> mWas;
};

}  // namespace TestSupport
