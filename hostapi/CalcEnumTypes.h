// Plain value types of the calculation-enumerator interfaces.
#pragma once

#include "KVDTypes.h"

// Kind of a data change. Enumerators without caches answer kUpdateAll for any change.
typedef uint32_t BlockUpdateType;
constexpr BlockUpdateType kUpdateAll = 0x40000000;

// Flag word an enumerator reports about itself.
typedef uint32_t CalcInstanceAttributes;
constexpr CalcInstanceAttributes kAttrSampleEnum = 0x8000;
// The stream is already private to its reader: it need not be shared through a splitter.
constexpr CalcInstanceAttributes kAttrPrivateStream = 0x04000000;

// Kind of computed channel.
typedef uint32_t RecordChannelTypes;
constexpr RecordChannelTypes kRecordChannelSamples = 0x801B0001;
constexpr RecordChannelTypes kRecordChannelEvents = 0x801B0002;

// Data-type flags of a channel or stream (bit tests, not an enumeration).
typedef uint32_t KVDEnumDataType;
constexpr KVDEnumDataType kEnumDataSamples = 0x80000000;
constexpr KVDEnumDataType kEnumDataEvents = 0x40000000;
constexpr KVDEnumDataType kEnumDataOpen = 0xC0000000;
constexpr KVDEnumDataType kEnumDataRealVector = 0x01000000;
constexpr KVDEnumDataType kEnumDataComplexVector = 0x02000000;
constexpr KVDEnumDataType kEnumDataTwoComponent = 0x04000000;

// Flags passed with the sources; forwarded unchanged.
typedef uint32_t CalcEnumFlags;

// Search direction of IEnumEventEx::Find: 0 forwards, any other value backwards.
typedef int32_t EventFindTypes;

// The host's mapping from record ticks to samples of a stream. Calculation enumerators only
// forward it; its fields are the host's.
struct TTickToSample {
    int32_t ticksPerSample;
    int32_t firstTick;
};
