// The page scripts served by name: one file, or a bundle of them for a name of the form
// lumo[_word...].js, whose words choose the optional files (jQuery and remote.js).
#pragma once

#include <string>
#include <vector>

namespace Lumo {

// Bits of a bundle's flags.
constexpr int kBundleJQuery = 1;
constexpr int kBundleRemote = 2;

// One file by its exact name, or a bundle; mimeType is "text/javascript" or "text/html" by the
// name's extension. False, data empty, for an unknown file or extension.
bool GetResource(const std::string& name, std::vector<char>& data, std::string& mimeType);

// True when name is a bundle name; flags then says which optional files it holds.
bool GetResourceFlags(const std::string& name, int& flags);

// Every file name in table order.
void GetResNames(std::vector<std::string>& names);

// Appends the file's text and CR LF; false, nothing appended, for no such (or an empty) file.
bool WriteRes(const std::string& name, std::vector<char>& data);

}  // namespace Lumo
