// The queue of data blocks behind a host stream. A buffered reader keeps it alive together
// with the stream it reads; the host declares its operations here when it needs them.
#pragma once

#include "IUnknown.h"

// D605BEA5-F2A1-4B5E-A45A-E5F7A228A083
inline constexpr _IID IID_IBlockDataQueue = {0xD605BEA5, 0xF2A1, 0x4B5E, {0xA4, 0x5A, 0xE5, 0xF7, 0xA2, 0x28, 0xA0, 0x83}};

struct IBlockDataQueue : IUnknown {
};
KVD_INTERFACE_ID(IBlockDataQueue, IID_IBlockDataQueue);
