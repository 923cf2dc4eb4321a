// The part of the recorded data an event enumerator analyses: from a start tick in a start
// record to an end tick in an end record.
#pragma once

#include <cstdint>

namespace EEH3 {

constexpr int32_t kNoTick = 0x7fffffff;

struct AnalysisRegion {
    int32_t startTick = -1;
    int32_t startRecord = -1;
    int32_t endTick = -1;
    int32_t endRecord = -1;

    // The whole of every record.
    void SetNoLimits();
    // Negative start words become 0, negative end words 0x7fffffff.
    void MakeValid();
    bool IsAllZero() const { return startTick == 0 && startRecord == 0 && endTick == 0 && endRecord == 0; }
    // The first tick analysed in record.
    int32_t GetStart(int32_t record) const;
    // The tick the analysis of record stops at: 0 outside the region, 0x7fffffff for a
    // record that lies wholly inside it.
    int32_t GetEnd(int32_t record) const;
};

// The first 16 bytes of every event record.
struct EventHeader {
    int32_t tick;
    float fraction;  // sub-tick part of the event's position
    double value;
};
static_assert(sizeof(EventHeader) == 16, "the event header is 16 bytes");

// Where one source of a detector stood when its state was saved.
struct tSrcPosItem {
    int32_t position;
    int32_t endTick;
};

}  // namespace EEH3
