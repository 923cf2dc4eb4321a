// The record drawer of the time-scale pane: time ticks and labels of each visible record, and
// the record numbers.
#pragma once

#include <vector>

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

    // The columns [left, right) a label takes and the x it is centred on; empty when it is
    // not drawn.
    struct LabelSpan {
        int left, right, centre;
    };

    // Whether the number of a record shows, by how crowded records are.
    bool ShouldDisplay(int record) const;
    // The number at the record's start, moved right past the time labels drawn there; left
    // out when it would not end before right.
    void DrawRecordNumber(TDC& dc, TPixPosition pix, int x, const std::vector<LabelSpan>& labels, int right);
    const TimeLabeler& Labeler() const { return mLabeler; }

private:
    // Where the labels of a record may lie: between left and right (the pane's and the
    // record's edges), a label on the record's first column (recordStart) moved in after it.
    struct LabelArea {
        int left, right, recordStart;
        LabelSpan Place(int tickX, int width) const;
    };

    TimeLabeler mLabeler;
    TimeScale* mScale;  // not counted: the scale owns the drawer
};

}  // namespace OrrelDraw
