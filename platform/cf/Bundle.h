// A bundle: a folder that holds code together with the resources it looks up by name at run
// time, in FOLDER/Resources/. The plug-in's bundle holds Spirometry.so beside Resources/; the
// running program's own bundle is the folder of its executable.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "cf/StringTable.h"

class NSBundle {
public:
    // The running program's bundle; null only when the program's file cannot be found.
    static NSBundle* MainBundle();

    // The bundle at a folder: one object per folder for the life of the process, so that its
    // string tables are read once. Null when the folder does not exist.
    static NSBundle* BundleWithPath(const std::string& folder);

    // The bundle whose folder holds the library (or executable) that contains the given code
    // address, when that folder is a bundle (it has Resources/); else null.
    static NSBundle* BundleContaining(const void* codeAddress);

    const std::string& BundlePath() const { return mPath; }

    // FOLDER/Resources, or the folder itself when it has no Resources/.
    const std::string& ResourcePath() const { return mResources; }

    // The path of the resource NAME.TYPE (NAME alone when type is empty), searched at the top
    // of the resources and then in each of their subfolders in name order; empty when absent.
    std::string PathForResource(const std::string& name, const std::string& type) const;

    // The text of key in the named string table (a resource file such as
    // "Spirometry.kvdstrings"), UTF-8; the key itself when the table or the key is missing.
    std::string LocalizedStringForKey(const std::string& key, const std::string& table);

    NSBundle(const NSBundle&) = delete;
    NSBundle& operator=(const NSBundle&) = delete;

private:
    explicit NSBundle(const std::string& folder);

    std::string mPath;
    std::string mResources;
    std::mutex mTablesLock;
    std::map<std::string, CF::StringTable> mTables;  // read on first use
};
