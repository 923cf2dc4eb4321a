// Loads the plug-in from its bundle folder the way the host does: the library is opened with
// RTLD_LOCAL, so its copies of our libraries never mix with the host's, and its registration
// entry is called once.
#pragma once

#include <stdexcept>
#include <string>

#include "KVDTypes.h"

namespace Host {

class PluginError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PluginBundle {
public:
    static constexpr const char* kLibraryName = "Spirometry.so";

    // Opens BUNDLE/Spirometry.so and finds both entry points; throws PluginError naming the
    // file and what is wrong.
    explicit PluginBundle(const std::string& bundleFolder);
    ~PluginBundle();
    PluginBundle(const PluginBundle&) = delete;
    PluginBundle& operator=(const PluginBundle&) = delete;

    // Calls DllRegisterClassObjects and returns its result.
    HRESULT RegisterClassObjects();
    HRESULT RegisterClassObjectsInReader();

    const std::string& LibraryPath() const { return mPath; }

    // The bundle beside the running program, unless SPIRO_BUNDLE names another.
    static std::string DefaultFolder();

private:
    using EntryFn = HRESULT (*)();
    EntryFn Find(const char* name);

    std::string mPath;
    void* mHandle = nullptr;
    EntryFn mRegister = nullptr;
    EntryFn mRegisterInReader = nullptr;
};

}  // namespace Host
