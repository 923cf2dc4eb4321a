// Result codes of the foundation library that do not cross the boundary (those that do are in
// ResultCodes.h), and the mapping between POSIX errno values and result codes.
#pragma once

#include "ResultCodes.h"

// File errors with texts of their own.
constexpr HRESULT KVD_E_NOTVALIDFILE = static_cast<HRESULT>(0xF8004037);
constexpr HRESULT KVD_E_NEWERFILEFORMAT = static_cast<HRESULT>(0xF8004038);  // reported as KVD_E_NEWERVERSION
constexpr HRESULT KVD_E_READFAULT = static_cast<HRESULT>(0xF800403D);
constexpr HRESULT KVD_E_INVALIDNAME = static_cast<HRESULT>(0xF800403F);

// Data-file and stream errors (0xF8008000-0xF800BFFF).
constexpr HRESULT KVD_E_DATAFILEFIRST = static_cast<HRESULT>(0xF8008000);
constexpr HRESULT KVD_E_DATAFILELAST = static_cast<HRESULT>(0xF800BFFF);
constexpr HRESULT KVD_E_MAPINPUTUNREADABLE = static_cast<HRESULT>(0xF8008000);
constexpr HRESULT KVD_E_UINTTOOLARGE = static_cast<HRESULT>(0xF8008001);
constexpr HRESULT KVD_E_UINTUNEXPECTED = static_cast<HRESULT>(0xF8008002);
constexpr HRESULT KVD_E_NEWERFILE = static_cast<HRESULT>(0xF8008004);
constexpr HRESULT KVD_E_NOTOEMFILE = static_cast<HRESULT>(0xF8008006);
constexpr HRESULT KVD_E_DISKFULL = static_cast<HRESULT>(0xF8008007);
constexpr HRESULT KVD_E_MAPPEDFILECORRUPT = static_cast<HRESULT>(0xF8008008);
constexpr HRESULT KVD_E_STREAMCREATE = static_cast<HRESULT>(0xF8008009);
// Codes thrown with a message of their own; 0xF8008010 and 0xF8008011 messages are complete
// texts, to which XKVD adds no line feed.
constexpr HRESULT KVD_E_OWNMESSAGE = static_cast<HRESULT>(0xF800800F);
constexpr HRESULT KVD_E_STORAGEMESSAGE = static_cast<HRESULT>(0xF8008010);
constexpr HRESULT KVD_E_REPORTMESSAGE = static_cast<HRESULT>(0xF8008011);
constexpr HRESULT KVD_E_BADOUTSTREAM = static_cast<HRESULT>(0xF8008012);
constexpr HRESULT KVD_E_KVDDATWRITEDISALLOWED = static_cast<HRESULT>(0xF800801A);
constexpr HRESULT KVD_E_WRITEDISALLOWED = static_cast<HRESULT>(0xF800801B);

// A POSIX error e travels as 0xC000 | e (e = 1 ... 0x3FFF); 0 stays 0.
constexpr HRESULT HRESULT_from_POSIX(int e) { return e == 0 ? KVD_S_OK : (e | 0xC000); }
constexpr bool Is_POSIX_HRESULT(HRESULT h) { return ((h | 0xC000) & 0xFFFF) == h; }
constexpr int HRESULT_to_POSIX(HRESULT h) { return h & 0x3FFF; }
