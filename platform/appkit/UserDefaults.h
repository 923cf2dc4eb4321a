// The application's user defaults: named settings of the program that outlive a window, such
// as whether web views offer their developer tools. Kept for the life of the process.
#pragma once

#include <map>
#include <string>

namespace AppKit {

class UserDefaults {
public:
    static UserDefaults& Standard();

    void SetBool(const std::string& key, bool value) { mValues[key] = value; }
    // False for a key never set.
    bool BoolForKey(const std::string& key) const;
    void RemoveObjectForKey(const std::string& key) { mValues.erase(key); }
    // Writes pending changes out; counted, as nothing here is written to disk.
    bool Synchronize() { return ++mSynchronized, true; }
    int SynchronizeCount() const { return mSynchronized; }

private:
    std::map<std::string, bool> mValues;
    int mSynchronized = 0;
};

}  // namespace AppKit
