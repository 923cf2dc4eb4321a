// Walks the ticks of a time axis over one record and produces the label texts: where the first
// label falls for the drawn start, which ticks are major, and the label time at each label.
#pragma once

#include "foundation/units/LabelTime.h"
#include "trace/DrawerTypes.h"
#include "trace/GraticuleInfo.h"

class TDC;

namespace OrrelDraw {

class TimeLabeler : public CGraticuleInfo {
public:
    TimeLabeler();

    // Also switches the display mode to units-not-time when asked.
    int64_t CalcTickIntervalsFloat(double secsPerPixel, double unitLength, int labelWidth, bool unitsNotTime);
    // Places the walk for a drawing that starts at t seconds, s seconds per pixel; with a
    // context the labels are widened once when their texts would touch.
    void SetTickPosSecs(double t, const KVDDataTimeInfo& info, double secsPerPixel, TDC* dc);
    // Steps to the next tick: the label text at a label, else empty; *major says a major tick.
    KVD::String AdvanceMinorTick(bool* major);
    // The record's start on the time axis (seconds), from the time info's values.
    double GetRecordStartTime(const KVDDataTimeInfo& info) const;

    void SetTimeDisplayMode(TimeDisplayMode mode) { mMode = CTimeDisplayMode(mode); }
    const CTimeDisplayMode& GetMode() const { return mMode; }
    double GetFirstLabelX() const { return mFirstLabelX; }
    int64_t GetTicksBeforeFirstLabel() const { return mTicksBefore; }
    const LabelTime& GetLabelTime() const { return mLabelTime; }

private:
    CTimeDisplayMode mMode{CTimeDisplayMode::kOriginRelative};
    double mFirstLabelX = -1.0;
    LabelTime mLabelTime;
    int64_t mTicksBefore = 0;
};

}  // namespace OrrelDraw
