// User-visible texts from the string tables of a bundle, looked up by key. A key names its
// table; texts may carry the product and maker tokens of the shared tables, which the lookup
// replaces with this product's names.
#pragma once

#include <string>

class NSBundle;

// A key of a string table: the key text (equal to the constant's name) and the table.
struct KVDXMLStringKey {
    const char* key;
    const char* table;
};

// A group of numbered entries of a string table: entry i has the key "KEY+i".
struct KVDXMLStringGroupKey {
    const char* key;
    const char* table;

    std::string EntryKey(int index) const;
};

// The text of key in table (UTF-8). A null bundle means the program's main bundle; with no
// bundle at all the result is the key itself, and so is it for a key the table lacks.
std::string GetStringFromStringsFile(NSBundle* bundle, const std::string& key, const std::string& table,
                                     bool replaceTokens);

// Replaces every product and maker token: "ORRELFORWINDOWS" and then "ORREL" by the host's
// name, "SIGNOVOX" by the maker's, "OEM" by the distributor's. The long token goes first so
// that the short one inside it is never replaced on its own.
std::string ReplaceProductTokens(std::string text);

// The plug-in's own bundle, found once: inside the plug-in it is the folder of the library
// itself. A program that is not inside the bundle (the host stand-in, test programs) finds it
// through KVDSetMyBundle, else the SPIRO_BUNDLE environment variable, else a
// "Spirometry.bundle" folder beside the program or beside the program's folder. Null when
// there is none.
NSBundle* KVDGetMyBundle();

// Names the bundle that KVDGetMyBundle answers from now on; null returns to the one found.
void KVDSetMyBundle(NSBundle* bundle);
