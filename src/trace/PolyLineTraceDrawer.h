// The trace drawer: draws a channel's samples of a record as a trace. The host's poly-line
// enumerator reduces the samples to a pair of points per pixel column; the drawer positions,
// clips, colours and strokes them, 128 segments a call. While online it keeps the enumerator
// from block to block so that each block continues where the last stopped.
#pragma once

#include "IPolyLineEnumEx.h"
#include "trace/DrawerBase.h"

namespace OrrelDraw {

// Segment counts of PolyPolyline: every segment is a pair of points.
extern int gPolyCounts[128];

class PolyLineTraceDrawer : public DrawerBase {
public:
    PolyLineTraceDrawer(BlockDataType type, TChannelId channel, long scaleId, const TColor* colour,
                        TChannelId userChannel, PolyLineType lineType, int layer, long penWidth);

    HRESULT SetRecordDataPixMap(unsigned int number, IRecordDataPixMap* map) override;
    HRESULT GetInfo(unsigned int request, unsigned int* flags, int* left, int* right, TDC* dc) const override;
    HRESULT GetUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits) const override;
    HRESULT OnScalingChanged(long scaleId, unsigned int dragId, const DataScaling* scaling, IScale* scale) override;
    HRESULT Revert(TOrrelDrawNeedsUpdateFlags flags) override;
    HRESULT DrawInRecord(TDC& dc, long long start, long long end, TPixPosition pix, int x, const tagRECT* clip,
                         OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                         const KVDDataTimeInfo* time) override;
    HRESULT Update(long long start, long long count, long long* latest) override;
    HRESULT OnRecordEnd(unsigned int record, BlockUpdateType* update) override;
    HRESULT GetRange(BlockDataType type, long scaleId, KVDPosition from, KVDPosition to,
                     ChannelYDataRange* range) const override;
    HRESULT GetScaleId(long* scaleId) const override;
    HRESULT ReleaseEnums(unsigned int flags) override;
    HRESULT OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int channel) override;
    HRESULT GetPrefixedUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits,
                                 DataScaling* scaling, DataMaxMin* maxMin, double* factor) const override;
    HRESULT Clone(OrrelDrawerFlags flags, IOrrelRecordDrawer** out) const override;

    virtual void OnBeforeDrawTracePixels(TDC& dc, TPixPosition pix);
    virtual void OnAfterDrawTracePixels(TDC& dc);
    virtual void AdjustRecordVPixelForTrace(TPixPosition* pix, long long* delta);
    // Strokes up to n columns from x; the columns consumed.
    virtual int DrawPixInRec(TDC& dc, int n, int x, TraceDrawFlags traceFlags, int record);
    virtual TColor GetOverlayTraceColor(int record, TColor colour) const;
    virtual bool CanDrawOverlay() const;

    const TColor& GetColour() const { return mColour; }
    int GetPenWidth() const { return mPenWidth; }
    PolyLineType GetPolyLineType() const { return mPolyLineType; }
    const DataScaling& GetScaling() const { return mScaling; }
    int GetPixelsDrawn() const { return mPixelsDrawn; }
    bool HasEnumerator() const { return mEnumerator != nullptr; }

protected:
    PolyLineTraceDrawer(const PolyLineTraceDrawer& other);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    // Request flags of the enumerator and of value ranges.
    uint32_t EnumRequestFlags() const;
    uint32_t RangeRequestFlags(BlockDataType type) const;
    // The units name of the channel in the record the pane last asked about (the units context).
    HRESULT ChannelUnitsName(TChannelId channel, IAutoKVDString** name) const;

    int64_t mTickOffset = 0;
    DataScaling mScaling{1.0, 0.0};
    KVD::COMPtr<IPolyLineEnumEx> mEnumerator;
    KVD::COMPtr<IKVDScopeDataPixMap> mScopePixMap;
    PolyLineType mPolyLineType;
    TColor mColour;
    long mScaleId;
    int mLimit = 0x7FFFFFFF;
    int mFlag = 0;
    int mPenWidth;
    int mPixelsDrawn = 0;

private:
    bool CreateEnumerator(const TPixPosition& pix, bool limited);
};

}  // namespace OrrelDraw
