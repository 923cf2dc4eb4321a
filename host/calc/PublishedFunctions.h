// The formula functions that the host publishes through its object factory. The symbol table
// of the formula compiler is built once, at the first compilation, from what is published by
// then: a host publishes before it loads the plug-in or compiles anything.
#pragma once

#include "host/calc/FormulaFunctionClass.h"

namespace Host {

// 49E9C1B9-678B-4F88-89E9-5A5D86CF89BB: the host's own formula functions, one sub-id each.
inline constexpr _IID GUID_HostFormulaFunctions = {0x49E9C1B9, 0x678B, 0x4F88, {0x89, 0xE9, 0x5A, 0x5D, 0x86, 0xCF, 0x89, 0xBB}};
constexpr uint16_t kDecimateSecSubId = 0;
constexpr uint16_t kEventInterpSubId = 1;
constexpr uint16_t kCycleStartsSubId = 2;

// Adds a function to those that PublishFormulaFunctions registers; for hosts that publish
// more (a test host's stand-ins), called before that. Answers true so that it can initialise
// a static.
bool AddFormulaFunction(FormulaFunctionInfo info);

// Adds a class object of one's own (kept for the life of the process, one reference taken) to
// those that PublishFormulaFunctions registers.
bool AddFormulaFunctionClass(ICAFClassObject* classObject);

// Registers "DecimateSec", "EventInterp" and "CycleStarts", and everything added, with the framework's object
// factory (which Framework::Install has made). Later calls register only what was added since.
void PublishFormulaFunctions();

}  // namespace Host
