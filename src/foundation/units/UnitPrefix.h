// The SI prefix of a unit as an index into the prefix tables. Two indexes mean "no prefix":
// kUnitPrefixNone is what an empty unit carries, kUnitPrefixUnity the unprefixed rung of the
// ladder between milli and kilo.
#pragma once

#include <cstdint>

#include "IUnitName.h"

enum UnitPrefix : uint32_t {
    kUnitPrefixUnknown = 0,
    kUnitPrefixNone = 1,
    kUnitPrefixAtto = 2,
    kUnitPrefixFemto = 3,
    kUnitPrefixPico = 4,
    kUnitPrefixNano = 5,
    kUnitPrefixMicro = 6,
    kUnitPrefixMilli = 7,
    kUnitPrefixUnity = 8,
    kUnitPrefixKilo = 9,
    kUnitPrefixMega = 10,
    kUnitPrefixGiga = 11,
    kUnitPrefixTera = 12,
    kUnitPrefixPeta = 13,
    kUnitPrefixExa = 14,
};

constexpr uint32_t kUnitPrefixCount = 15;

// The micro sign, the letter every table uses for micro.
constexpr wchar_t kMicroSign = L'\u00B5';
