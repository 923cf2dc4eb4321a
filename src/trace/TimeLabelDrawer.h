// The record drawer of the time-scale pane: time ticks and labels of each visible record, and
// the record numbers.
#pragma once

#include "trace/DrawerBase.h"
#include "trace/TimeLabeler.h"

namespace OrrelDraw {

class TimeScale;

class TimeLabelDrawer : public DrawerBase {
public:
    explicit TimeLabelDrawer(TimeScale* scale);

    HRESULT GetInfo(unsigned int request, unsigned int* flags, int* left, int* right, TDC* dc) const override;
    HRESULT GetUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits) const override;
    HRESULT OnScalingChanged(long scaleId, unsigned int dragId, const DataScaling* scaling, IScale* scale) override;
    HRESULT GetRange(BlockDataType type, long scaleId, KVDPosition from, KVDPosition to,
                     ChannelYDataRange* range) const override;
    HRESULT Revert(TOrrelDrawNeedsUpdateFlags flags) override;
    HRESULT DrawInRecord(TDC& dc, long long start, long long end, TPixPosition pix, int x, const tagRECT* clip,
                         OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                         const KVDDataTimeInfo* time) override;
    HRESULT Update(long long start, long long count, long long* latest) override;
    HRESULT Clone(OrrelDrawerFlags flags, IOrrelRecordDrawer** out) const override;

    // Whether the number of a record shows, by how crowded records are.
    bool ShouldDisplay(int record) const;
    void DrawRecordNumber(TDC& dc, TPixPosition pix, int x);
    const TimeLabeler& Labeler() const { return mLabeler; }

private:
    TimeLabeler mLabeler;
    TimeScale* mScale;  // not counted: the scale owns the drawer
};

}  // namespace OrrelDraw
