// The data kinds under which the spirometry code asks the host for a channel's samples.
#pragma once

#include <cstdint>

namespace Spirometry {

// A channel's raw recorded data: what a flow head's channel holds.
constexpr uint32_t kRawRecordedData = 0x80001001u;
// A channel's data, computed channels included.
constexpr uint32_t kChannelData = 0xC0001000u;

// The kind a calculation reads its source channel in: the raw recording when the source is
// the calculation's own channel.
inline uint32_t SourceKind(long source, long ownChannel)
{
    return source == ownChannel ? kRawRecordedData : kChannelData;
}

}  // namespace Spirometry
