// Result codes that cross the boundary. Texts for them live in the foundation library.
#pragma once

#include "KVDTypes.h"

constexpr HRESULT KVD_S_OK = 0;
constexpr HRESULT KVD_S_FALSE = static_cast<HRESULT>(0xF8004001);        // success without effect
constexpr HRESULT KVD_E_BADSTATE = static_cast<HRESULT>(0xF800400A);     // bad argument or state
constexpr HRESULT KVD_E_NOTIMPL = static_cast<HRESULT>(0xF800400B);
constexpr HRESULT KVD_E_NULLOUT = static_cast<HRESULT>(0xF800400C);      // required out-pointer null
constexpr HRESULT KVD_E_NOINTERFACE = static_cast<HRESULT>(0xF800400D);
constexpr HRESULT KVD_E_POINTER = static_cast<HRESULT>(0xF800400E);      // required pointer null
constexpr HRESULT KVD_E_NEWERVERSION = static_cast<HRESULT>(0xF8008005); // stored by a newer version
constexpr HRESULT KVD_E_ARRAYSIZE = static_cast<HRESULT>(0xF8008003);    // stored length check failed

inline bool KVDSucceeded(HRESULT hr) { return hr == KVD_S_OK || hr == KVD_S_FALSE; }
