// The platform's user-visible texts, by key, from the string table in the folder beside its
// library (AppKitResources/AppKit.kvdstrings); the key itself when it is missing.
#pragma once

#include <string>
#include <vector>

namespace AppKit {

std::string LocalizedText(const std::string& key);
// The text with %1, %2, ... replaced by the arguments in turn.
std::string LocalizedText(const std::string& key, const std::vector<std::string>& arguments);

}  // namespace AppKit
