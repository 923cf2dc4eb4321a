// Text resources of a bundle (HTML templates and the like), read with their encoding detected.
#pragma once

#include <string>

class NSBundle;

namespace KVD {

class String;

// The text of a file, its encoding detected: a UTF-8 or UTF-16 byte-order mark says it;
// without one the bytes are UTF-8 when they are valid UTF-8, else Windows-1252. False, with
// text unchanged, when the file cannot be read.
bool ReadTextFile(const std::string& path, String& text);

// The same for the resource NAME.TYPE of a bundle (null: the program's main bundle). A missing
// resource leaves text as it was.
bool ReadResourceText(NSBundle* bundle, const std::string& name, const std::string& type, String& text);

}  // namespace KVD
