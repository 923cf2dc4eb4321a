// The common base of a data pane's child panes (channel panes and the time-scale pane): the
// pane's record drawers kept sorted by layer value, its eight layers with their dirty ranges,
// the fan-out of sampling and display notices to the drawers, drawing a record's range layer
// by layer, online scrolling, borders and copying.
#pragma once

#include <vector>

#include "IBinInStream.h"
#include "IBinOutStream.h"
#include "IScale.h"
#include "foundation/Bitset.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "trace/ChildPaneOwner.h"
#include "trace/IOrrelRecordDrawer.h"
#include "trace/Layer.h"

namespace OrrelDraw {

// Orders drawers by layer value as signed 64-bit integers.
bool DrawerLayerLess(IOrrelRecordDrawer* a, IOrrelRecordDrawer* b);

// Flags of AddRecordDrawer.
namespace AddDrawerFlag {
constexpr uint32_t kBuffered = 1u << 31;
constexpr uint32_t kNotComposed = 1u << 27;
}  // namespace AddDrawerFlag

class ChildPaneBase : public SimpleUnknownImp1<IDragScaleObserver, 0l> {
public:
    // IDragScaleObserver: not implemented here; the channel pane answers them.
    HRESULT OnBeginDrag(long side, DragScaleDragType type) override;
    HRESULT OnEndDrag(long side, DragScaleDragType type) override;
    HRESULT OnScalingChanged(long side, unsigned int dragId, const DataScaling* scaling) override;
    HRESULT OnAutoScaleCommand(long side) override;
    HRESULT OnAutoScaleRequest(long side, ChannelYDataRange* range, AutoBool* unscaled) override;

    virtual void DrawBorderIfNeeded(TDC& dc, const TRegion& region);
    virtual HRESULT SetPositionInfo(OrrelDrawPosFlags flags, const TPoint& origin, const TRect& rect, int a, int b,
                                    int c);
    virtual HRESULT OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int channel);
    virtual HRESULT AddRecordDrawer(unsigned int flags, IOrrelRecordDrawer* drawer, unsigned int opacity);
    virtual HRESULT ClearRecordDrawers(OrrelDrawerInfoOutFlags infoFlags, TChannelId channel);
    virtual HRESULT Revert(TOrrelDrawNeedsUpdateFlags flags);
    virtual HRESULT PrepareForSampling(unsigned int block);
    virtual HRESULT OnRecordStart(unsigned int record, AutoBool online);
    virtual HRESULT Update(long long start, long long count, long long* latest, PixMapUpdateOutFlags flags);
    virtual HRESULT OnRecordEnd(unsigned int record, BlockUpdateType* update);
    virtual HRESULT CleanUpAfterSampling(AutoBool flag);
    virtual HRESULT OnEvent(unsigned int id, void* data);
    virtual HRESULT DrawInRecord(TDC* dc, long long start, long long end, TPixPosition pix, int x, const TRect* clip,
                                 OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                                 const KVDDataTimeInfo* time, const KVD::Bitset& layers);
    virtual HRESULT Read(IBinInStream* stream) = 0;
    virtual HRESULT Write(IBinOutStream* stream) const = 0;
    virtual bool IsChannelInUse() const;
    virtual HRESULT GetLeftScale(unsigned int record, IScale** scale);
    virtual HRESULT GetRightScale(unsigned int record, IScale** scale);
    virtual HRESULT OnBeginRevert(TOrrelDrawNeedsUpdateFlags flags);
    virtual void BltBitMap(TDC& dc, int x, bool marker);
    virtual bool HitTest(const TPoint& point) const;

    void Invalidate(bool erase);
    void LayersInvalidate(bool all);
    void SetBitmapsDirtyAndInvalidate();
    void InvalidateXRange(int from, int to, int firstLayer, int endLayer, bool markDirty);
    void LayersInvalidateXRange(int from, int to, int firstLayer, int endLayer, bool markDirty);
    void LayersScrollX(int pixels, bool moveBits);
    void ScrollX(int pixels, bool scrollLayers, bool noInvalidate);
    void DoOnlineScollX(long long pixels, int x);
    // The x range to draw for a paint of the region, widened by the drawers' extensions.
    void CalcDirtyRect(const TRegion* region, OrrelDrawerDrawFlags flags, int* from, int* to, TDC* dc);
    void FindMaxExtensions(DrawerOrderConsts first, DrawerOrderConsts end, int* left, int* right, TDC* dc) const;
    void OnDrawingDone(uint32_t flags);
    void ClearLayers();
    static void DrawBorderIfNeededBase(TDC& dc, const TRect& rect, const ChildPaneOwner* owner, int paneIndex);

    int GetPaneIndex() const { return mPaneIndex; }
    const TRect& GetPaneRect() const { return mRect; }
    int DrawerCount() const { return int(mDrawers.size()); }
    IOrrelRecordDrawer* Drawer(int i) const { return mDrawers[size_t(i)]; }
    const Layer& GetLayer(int i) const { return mLayers[i]; }
    Layer& GetLayer(int i) { return mLayers[i]; }
    uint32_t DrawnMarker() const { return mDrawnMarker; }
    ChildPaneOwner* GetOwner() const { return mOwner; }
    void SetChannelInUse(bool left, bool right);

protected:
    ChildPaneBase(ChildPaneOwner* owner, int paneIndex);
    // A copy without owner and with fresh layers, holding a clone of every drawer.
    ChildPaneBase(const ChildPaneBase& other);

    // Draws the drawers [first, end) of a layer over the clip widened by each drawer's extensions;
    // start is the column at x.
    void ForEachDrawer(TDC& dc, int firstDrawer, int endDrawer, long long start, TPixPosition pix, int x,
                       const TRect& clip, OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                       const KVDDataTimeInfo* time);

    OrrelDrawPosFlags mPositionFlags = 0;
    int mLeftExtension = 0;
    int mRightExtension = 0;
    int mPaneIndex;
    uint32_t mDrawnMarker = 0;
    TPoint mOrigin;
    TRect mRect;
    uint8_t mLeftInUse = 0;
    uint8_t mRightInUse = 0;
    bool mExtensionsStale = true;
    ChildPaneOwner* mOwner;  // not counted
    std::vector<KVD::COMPtr<IOrrelRecordDrawer>> mDrawers;
    TLayers mLayers;

private:
    void RebuildLayerRanges();
    void DrawLayer(TDC* dc, int index, long long start, TPixPosition pix, int x, const TRect& clip,
                   OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule, const KVDDataTimeInfo* time);
};

}  // namespace OrrelDraw
