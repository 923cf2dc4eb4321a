// Codes and markers shared by the persisted settings records of the calculations.
#pragma once

#include <cstdint>

#include "foundation/KVDResultCodes.h"

namespace Spirometry {

// Ends every calculation record from version 2 on.
constexpr int32_t kRecordEndMarker = 987654;
// A stored value that would index a table, or name something, out of its range.
constexpr HRESULT kRecordBadValue = KVD_E_UINTUNEXPECTED;
// The channel bytes of the records: "no channel" is stored as 0xFF and read back as such.
constexpr uint8_t kNoChannelByte = 0xFF;
constexpr long kNoChannel = static_cast<int32_t>(0x80000000);

inline uint8_t ChannelToByte(long channel) { return channel == kNoChannel ? kNoChannelByte : uint8_t(channel & 0xFF); }
inline long ChannelFromByte(uint8_t stored) { return stored == kNoChannelByte ? kNoChannel : long(stored); }

}  // namespace Spirometry
