// Result codes of the compound-file storage, as callers of the storage interfaces see them.
#pragma once

#include "ResultCodes.h"

constexpr HRESULT KVD_STG_E_EXISTS = static_cast<HRESULT>(0xF8004032);       // an element of that name exists
constexpr HRESULT KVD_STG_E_NOTFOUND = static_cast<HRESULT>(0xF8004033);     // no element of that name
constexpr HRESULT KVD_STG_E_NOSPACE = static_cast<HRESULT>(0xF8004034);      // out of memory, clusters or entries
constexpr HRESULT KVD_STG_E_NOEXCLUDE = static_cast<HRESULT>(0xF8004035);    // CopyTo with interface exclusions
constexpr HRESULT KVD_STG_E_BADCOUNT = static_cast<HRESULT>(0xF8004036);     // directory count and check disagree
constexpr HRESULT KVD_STG_E_NOTSTORAGE = static_cast<HRESULT>(0xF8004037);   // not a compound file (signature)
constexpr HRESULT KVD_STG_E_NEWER = static_cast<HRESULT>(0xF8004038);        // written by a newer version
constexpr HRESULT KVD_STG_E_CANTGROW = static_cast<HRESULT>(0xF8004039);     // a chain cannot be lengthened
constexpr HRESULT KVD_STG_E_BADHEADER = static_cast<HRESULT>(0xF800403A);    // header word out of range
constexpr HRESULT KVD_STG_E_INVALIDARG = static_cast<HRESULT>(0xF800403B);   // no destination; seek before start
constexpr HRESULT KVD_STG_E_BADORIGIN = static_cast<HRESULT>(0xF800403C);    // unknown seek origin

// Structural damage found in a file: a cluster number out of range, a cycle, a chain that does
// not match its stream, a record that cannot be, a file shorter than its clusters.
constexpr HRESULT KVD_STG_E_CORRUPT = static_cast<HRESULT>(0xF8008006);
// Raised with a message of its own ("Error reading Cluster Map", ...).
constexpr HRESULT KVD_STG_E_FORMAT = static_cast<HRESULT>(0xF8008010);
