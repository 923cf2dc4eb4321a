// Plain types shared by the host and the plug-in across the COM-style boundary.
#pragma once

#include <cstdint>
#include <cstring>

// A 16-byte GUID; identifies interfaces, classes, categories and id groups.
struct _IID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef _IID GUID;
typedef _IID CLSID;

// GUIDs compare byte for byte.
inline bool IsEqualIID(const _IID& a, const _IID& b) { return std::memcmp(&a, &b, sizeof(_IID)) == 0; }
inline bool operator==(const _IID& a, const _IID& b) { return IsEqualIID(a, b); }
inline bool operator!=(const _IID& a, const _IID& b) { return !IsEqualIID(a, b); }

// Signed 32-bit result code: 0 is success, the system's own codes lie in 0xF8004000-0xF800BFFF.
typedef int32_t HRESULT;

// The 16-bit boolean of the host interfaces.
typedef uint16_t AutoBool;
constexpr AutoBool kAutoTrue = 0xFFFF;
constexpr AutoBool kAutoFalse = 0;

// Id of a command, message, event or type: a dynamic id in the high half and an index in the
// low half, or a fixed framework id with bit 31 set.
typedef uint32_t TCAFId;
typedef TCAFId CAFId;

// A channel: number word and BlockDataType word; 0xC000000080000000 is no channel.
struct TChannelId {
    int32_t channel;
    uint32_t blockDataType;
};
constexpr uint64_t kNoChannelId = 0xC000000080000000ull;

// A data position: tick within a record, and the record; 0x7FFFFFFF in both is no position.
struct KVDPosition {
    uint32_t tick;
    int32_t record;
};
constexpr uint32_t kNoPositionTick = 0x7FFFFFFF;
constexpr int32_t kNoPositionRecord = 0x7FFFFFFF;

static_assert(sizeof(_IID) == 16, "GUIDs are 16 bytes");
static_assert(sizeof(TChannelId) == 8, "channel ids are 8 bytes");
static_assert(sizeof(KVDPosition) == 8, "positions are 8 bytes");
