// The graticule drawer: paints a channel pane's background for one record and all that lies
// under the trace: the fill (its own colours for the record being sampled and for channels
// without data), guideline shading and lines, the pre-trigger background, the vertical time
// grid and the horizontal grid of the channel's scale, and the headers at a record's start.
#pragma once

#include <memory>

#include "IScale.h"
#include "trace/DragScaleCreator.h"
#include "trace/DrawUtils.h"
#include "trace/DrawerBase.h"
#include "trace/GuidelineInfo.h"
#include "trace/PreTriggerBackground.h"

namespace OrrelDraw {

// The record pixel range and clip of one graticule draw.
struct RecordDrawPosInfo {
    long long start;
    long long end;
    long long pix;  // negative when the record starts inside the range
    int x;
    int clipLeft;
    int clipRight;

    int First() const;
    int PixToDraw() const;
};

class GraticuleDrawer : public DrawerBase {
public:
    // Style flags.
    static constexpr uint32_t kNoHasDataCheck = 1u << 23;
    static constexpr uint32_t kNoBackground = 1u << 29;
    static constexpr uint32_t kNoVerticalGrid = 1u << 30;
    static constexpr uint32_t kNoHorizontalGrid = 1u << 31;
    static const TColor kMonitorModeBackgroundColor;
    static const TColor kScaleLineColor;

    GraticuleDrawer(BlockDataType type, TChannelId channel, OrrelDrawerScaleConsts side, unsigned int styleFlags,
                    TColor gridColour, bool hideGrid);

    HRESULT SetRecordDataPixMap(unsigned int number, IRecordDataPixMap* map) override;
    HRESULT OnPositionChange(OrrelDrawPosFlags flags, const tagRECT* rect) override;
    HRESULT GetInfo(unsigned int request, unsigned int* flags, int* left, int* right, TDC* dc) const override;
    HRESULT GetUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits) const override;
    HRESULT GetRange(BlockDataType type, long scaleId, KVDPosition from, KVDPosition to,
                     ChannelYDataRange* range) const override;
    HRESULT OnScalingChanged(long side, unsigned int dragId, const DataScaling* scaling, IScale* scale) override;
    HRESULT Revert(TOrrelDrawNeedsUpdateFlags flags) override;
    HRESULT DrawInRecord(TDC& dc, long long start, long long end, TPixPosition pix, int x, const tagRECT* clip,
                         OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                         const KVDDataTimeInfo* time) override;
    HRESULT PrepareForSampling(unsigned int block) override;
    HRESULT OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int channel) override;
    HRESULT SetDataPane(IDrawerDataPane* pane) override;
    HRESULT Clone(OrrelDrawerFlags flags, IOrrelRecordDrawer** out) const override;
    const GuidelineInfo* GetGuidelineInfo() const override { return &mGuidelines; }

    virtual void InitBitmaps() {}
    virtual void DrawHorizontalLines(TDC&, int, int, long long, TColor, bool) const {}
    virtual void DrawVerticalLines(TDC&, int, int, int, double, double, TColor, bool, bool*) const {}

    GuidelineInfo& Guidelines() { return mGuidelines; }
    int HeaderWidth() const { return mHeaderWidth; }
    bool ShowsGrid() const { return mShowGrid; }
    // The two y edges the last shading kept for the lines (pixels from the bottom).
    double GuidelineY1() const { return mGuideY1; }
    double GuidelineY2() const { return mGuideY2; }
    // The drawer's own scale, made once a scaling mode is set; null before.
    const CScale* OwnScale() const { return mOwnScale.get(); }

private:
    GraticuleDrawer(const GraticuleDrawer& other);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    void UpdateScalingMode();
    bool HasData(int record) const;
    void DrawBackground(TDC& dc, const RecordDrawPosInfo& pos, int record, bool hasData);
    void DrawGuidelineShade(TDC& dc, const RecordDrawPosInfo& pos);
    void DrawGuidelines(TDC& dc, const RecordDrawPosInfo& pos);
    void DrawGraticule(TDC& dc, const RecordDrawPosInfo& pos, const GraticuleInfo* graticule, bool suppress);
    void DrawGraticuleInRec(TDC& dc, int from, int to, double origin, double first, double spacing, TColor colour,
                            bool horizontal) const;
    void DrawHeaders(TDC& dc, long long start, long long end, TPixPosition pix, int& x, OrrelDrawerDrawFlags flags);
    // Top-down y of a pixel height measured from the bottom.
    int FromBottom(double y) const { return Height() - int(y); }

    int64_t mTickOffset = 0;
    OrrelDrawerScaleConsts mSide;
    TColor mHeaderColour = kRecordHeaderColour;
    TColor mGridColour;
    double mGridStart = 0.0;
    double mGridSpacing = 0.0;
    DataScaling mScaling{1.0, 0.0};
    double mFactor = 1.0;
    double mOffset = 0.0;
    std::unique_ptr<CScale> mOwnScale;
    std::unique_ptr<DrawPreTriggerBackgroundBase> mPreTrigger;
    int mHeaderWidth = 0;
    GuidelineInfo mGuidelines;
    int mPreparedRecord = -1;
    uint32_t mStyle;
    uint32_t mGridStyle = 0;
    bool mShowGrid;
    bool mShowHeaders = true;
    double mGuideY1 = 0.0;
    double mGuideY2 = 0.0;
};

}  // namespace OrrelDraw
