#include "host/loader/PluginBundle.h"

#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>


namespace Host {

PluginBundle::PluginBundle(const std::string& bundleFolder) : mPath(bundleFolder + "/" + kLibraryName)
{
    mHandle = dlopen(mPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (mHandle == nullptr) {
        const char* why = dlerror();
        throw PluginError("cannot load the plug-in " + mPath + ": " + (why ? why : "unknown error"));
    }
    try {
        mRegister = Find("DllRegisterClassObjects");
        mRegisterInReader = Find("DllRegisterClassObjectsInOrrelReader");
    } catch (...) {
        dlclose(mHandle);
        throw;
    }
}

// The plug-in's class objects stay registered with the host for the life of the process, so
// its code must stay mapped: the library is never closed once loaded.
PluginBundle::~PluginBundle() = default;

PluginBundle::EntryFn PluginBundle::Find(const char* name)
{
    void* symbol = dlsym(mHandle, name);
    if (symbol == nullptr)
        throw PluginError("the plug-in " + mPath + " has no entry point " + name);
    return reinterpret_cast<EntryFn>(symbol);
}

HRESULT PluginBundle::RegisterClassObjects() { return mRegister(); }

HRESULT PluginBundle::RegisterClassObjectsInReader() { return mRegisterInReader(); }

std::string PluginBundle::DefaultFolder()
{
    if (const char* named = std::getenv("SPIRO_BUNDLE"))
        return named;
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return "Spirometry.bundle";
    exe[n] = '\0';
    std::string folder(exe);
    return folder.substr(0, folder.rfind('/')) + "/Spirometry.bundle";
}

}  // namespace Host
