// The time-scale pane under the channel panes: a child pane (index -1) that always holds its
// own time-label drawer, measures its labels in its font, and writes "(ms)" when times are
// shown in milliseconds.
#pragma once

#include <memory>

#include "trace/ChildPaneBase.h"

namespace OrrelDraw {

class TimeLabelDrawer;

// The time labels' font on paper: the data pane's print font, at its size.
class TimeScaleFont : public TFont {
public:
    explicit TimeScaleFont(const TFont& printFont) : TFont(printFont.PointSize()) {}
};

// The units text written at the right of the time scale when times are in milliseconds.
extern const wchar_t* const kTimeUnitsMilliSecsStr;

class TimeScale : public ChildPaneBase {
public:
    explicit TimeScale(ChildPaneOwner* owner);

    HRESULT SetPositionInfo(OrrelDrawPosFlags flags, const TPoint& origin, const TRect& rect, int a, int b,
                            int c) override;
    HRESULT ClearRecordDrawers(OrrelDrawerInfoOutFlags infoFlags, TChannelId channel) override;
    HRESULT OnRecordStart(unsigned int record, AutoBool online) override;
    // New data scrolled in: the whole scale is redrawn, so that a label that now fits beside
    // the fresh strip is drawn whole rather than cut at the strip's edge.
    HRESULT Update(long long start, long long count, long long* latest, PixMapUpdateOutFlags flags) override;
    HRESULT DrawInRecord(TDC* dc, long long start, long long end, TPixPosition pix, int x, const TRect* clip,
                         OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule, const KVDDataTimeInfo* time,
                         const KVD::Bitset& layers) override;
    HRESULT Read(IBinInStream* stream) override;
    HRESULT Write(IBinOutStream* stream) const override;
    void BltBitMap(TDC& dc, int x, bool marker) override;
    virtual HRESULT OnSetReferenceDC(TDC& dc);
    virtual HRESULT OnClearReferenceDC();

    void AddDefaultTimeLabelDrawer();
    void SetFixedHeight(bool fixed, int height);
    void InitFont();
    void CalcMaxLabelSize(int* width, int* height, TDC* dc);
    // The label width, measured in dc when it is not yet known.
    int LabelWidth(TDC* dc);
    int LabelHeight() const { return mLabelHeight; }
    const TFont& Font() const { return *mFont; }
    uint32_t LastTimeDisplayMode() const { return mLastMode; }
    // The rectangle "(ms)" is written in, for the mode of the last draw; empty otherwise.
    TRect MillisecondsRect(TDC& dc) const;
    // The same for a mode: time labels end left of it.
    TRect MillisecondsRect(TDC& dc, uint32_t mode) const;
    // Writes "(ms)" at the right of the pane when the last draw counted milliseconds. The
    // pane blit writes it; a paint straight to the screen calls it after the data.
    void DrawUnitsText(TDC& dc);

private:
    double PixelRatioY() const;

    int mLabelHeight = 0;
    int mLabelWidth = 0;
    std::unique_ptr<TFont> mFont;
    uint32_t mLastMode = 0;
    bool mFixedHeight = false;
};

}  // namespace OrrelDraw
