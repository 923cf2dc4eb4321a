// The formula functions that the test host publishes besides the host's own: stand-ins for
// the spirometry event functions, and functions that exercise the symbol table's rules. They
// are added at static initialisation, so that the global environment publishes them before
// the first compilation builds the tables.
#pragma once

#include "KVDTypes.h"

namespace TestHost {

// C15EE9EB-85A5-431F-AED7-2B2AC29478F7: the test host's functions, one sub-id each.
inline constexpr _IID GUID_TestFormulaFunctions = {0xC15EE9EB, 0x85A5, 0x431F, {0xAE, 0xD7, 0x2B, 0x2A, 0xC2, 0x94, 0x78, 0xF7}};

enum TestFunction : uint16_t {
    kSPEEFlow = 0,    // "SPEventEnumFlow", alias "SPEEFlow": events of a flow channel
    kSPEEVol,         // "SPEventEnumVol", alias "SPEEVol": breath events of volume and flow events
    kSmoothClash,     // "Smooth": loses to the built-in name
    kTwinAliases,     // "Twin", aliases "TwinA", "TwinB", each with a description of its own
    kSharedAliases,   // "Shared", aliases "SharedA", "SharedB", sharing the function's description
    kSomeSources,     // "SomeSources": up to two sources, one required, one numeric parameter
    kArgumentTexts,   // "ArgTexts": the first argument's and the argument list's text lead its settings
    kBrokenInfo,      // "Broken": its description cannot be read
};

}  // namespace TestHost
