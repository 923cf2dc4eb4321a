// One horizontal band of a data pane: the child pane that draws one channel through its record
// drawers and carries up to two of the host's vertical drag scales. It decides the units each
// scale shows, passes ranges and unit prefixes to the scales, answers auto-scale requests from
// the union of its drawers' ranges, and relays drags and auto-scale commands to the data pane.
#pragma once

#include "foundation/units/UnitPrefix.h"
#include "trace/ChannelPaneOwner.h"
#include "trace/ChildPaneBase.h"

namespace OrrelDraw {

// Pane flags of a channel pane.
namespace PaneFlag {
constexpr uint32_t kLeftScale = 1u << 31;
constexpr uint32_t kRightScale = 1u << 30;
constexpr uint32_t kKeepIndicators = 1u << 29;
constexpr uint32_t kLeftScaleUnplaced = 1u << 28;
constexpr uint32_t kNoAutoScrollOnSampling = 1u << 27;
}  // namespace PaneFlag

// Scale-control flags.
namespace ScaleControl {
constexpr uint32_t kUnitsFromDrawers = 1u << 31;
constexpr uint32_t kDefaultRangeFromRecord = 1u << 30;
}  // namespace ScaleControl

// The block number that says no block yielded units.
constexpr int kNoUnitsBlock = 0x7FFFFFFE;

class ChannelPane : public ChildPaneBase {
public:
    struct PrefixInfo {
        wchar_t letter = 0;
        double factor = 0.0;
        UnitPrefix prefix = UnitPrefix(0);
        // Whether the prefix rescales: indexes 0, 1 and 8 mean no prefix.
        bool Rescales() const { return prefix != 0 && prefix != 1 && prefix != 8; }
        // From the drawers' values (the channel's unit) to the scale's (the prefixed unit).
        double Scaling() const { return Rescales() ? factor : 1.0; }
    };

    ChannelPane(ChannelPaneOwner* owner, int index, uint32_t paneFlags, DragScaleStyle style,
                RecDrawScalingModeFlags scalingMode);
    ~ChannelPane() override;

    // IDragScaleObserver
    HRESULT OnBeginDrag(long side, DragScaleDragType type) override;
    HRESULT OnEndDrag(long side, DragScaleDragType type) override;
    HRESULT OnScalingChanged(long side, unsigned int dragId, const DataScaling* scaling) override;
    HRESULT OnAutoScaleCommand(long side) override;
    HRESULT OnAutoScaleRequest(long side, ChannelYDataRange* range, AutoBool* unscaled) override;

    HRESULT SetPositionInfo(OrrelDrawPosFlags flags, const TPoint& origin, const TRect& rect, int leftWidth,
                            int rightWidth, int border) override;
    HRESULT Revert(TOrrelDrawNeedsUpdateFlags flags) override;
    HRESULT Read(IBinInStream* stream) override;
    HRESULT Write(IBinOutStream* stream) const override;
    HRESULT GetLeftScale(unsigned int record, IScale** scale) override;
    HRESULT GetRightScale(unsigned int record, IScale** scale) override;

    // A referenced copy without owner; dragged scales are cloned, plain ones shared.
    virtual HRESULT Clone(ChannelPane** out) const;
    // Makes the scales the pane flags ask for, from the host's drag-scale class.
    virtual void OnSetupWindow(void* window, void* parent);
    virtual void OnCleanupWindow();
    virtual HRESULT ShowGuideLinesDlg(KVDPosition position);
    virtual HRESULT GetTitle(int record, KVD::String* title);
    // Returns the block in which left units were found, or kNoUnitsBlock.
    virtual int SetYScaleUnits(int firstBlock, int lastBlock);

    // True when any drawer reports units for the side in the block.
    bool GetUnitsForScale(int side, uint32_t mode, int block, KVD::String* units, DataScaling* scaling,
                          TChannelId* channel, DataMaxMin* maxMin, double* factor) const;
    HRESULT LockDragScaleUnitPrefix(int record, int side, UnitPrefix prefix);
    bool SetDragScaleRange(uint32_t rangeFlags, int side, const ChannelYDataRange& range, bool dragScale,
                           bool force);
    HRESULT DoAutoScale(int side);
    int GetLeftScaleWidth(int request) const;
    // Draws the scales that have a place beside the pane, in the pane's coordinates.
    void DrawScales(TDC& dc) const;
    int GetRightScaleWidth(int request) const;
    void SetLeftDragScale(IScale* scale);
    // Every scale's drags and changes come to this pane, told as its side.
    void AdviseScales();

    IDragScale* DragScaleOf(int side) const { return side == kScaleLeft ? mLeftDrag.get() : mRightDrag.get(); }
    IScale* ScaleOf(int side) const { return side == kScaleLeft ? mLeftScale.get() : mRightScale.get(); }
    TChannelId ScaleChannel(int side) const { return side == kScaleLeft ? mLeftChannel : mRightChannel; }
    const PrefixInfo& Prefix(int side) const { return side == kScaleLeft ? mLeftPrefix : mRightPrefix; }
    RecDrawScalingModeFlags ScalingMode() const { return mScalingMode; }
    uint32_t ScaleControlFlags() const { return mScaleControl; }
    void SetScaleControlFlags(uint32_t flags) { mScaleControl = flags; }
    bool LeftUnitsFound() const { return mLeftFound; }
    bool RightUnitsFound() const { return mRightFound; }
    // The channel of the pane: the left scale's, else the right's.
    TChannelId Channel() const { return mLeftChannel.channel >= 0 ? mLeftChannel : mRightChannel; }
    ChannelPaneOwner* Owner() const { return mPaneOwner; }
    void SetIndex(int index) { mPaneIndex = index; }

private:
    ChannelPane(const ChannelPane& other);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    // Tries the blocks from first towards last; the block that yielded units, or kNoUnitsBlock.
    int FindUnits(int side, int first, int last, KVD::String* units, DataScaling* scaling, DataMaxMin* maxMin);
    void ApplyUnits(int side, bool found, int block, KVD::String units, const DataScaling& scaling,
                    const DataMaxMin& maxMin);
    DataScaling PixelScalingOf(IScale* scale) const;
    // A scale's pixel scaling of its prefixed values as one of the drawers' values.
    DataScaling InDrawerUnits(int side, const DataScaling& scaling) const;
    PrefixInfo& PrefixOf(int side) { return side == kScaleLeft ? mLeftPrefix : mRightPrefix; }
    // The data pane's misc flags; none for a clone that has no data pane yet.
    uint32_t OwnerMiscFlags() const { return mPaneOwner != nullptr ? mPaneOwner->GetMiscFlags() : 0; }

    ChannelPaneOwner* mPaneOwner;  // not counted; null in a clone
    uint32_t mPaneFlags;
    DragScaleStyle mStyle;
    RecDrawScalingModeFlags mScalingMode;
    uint32_t mScaleControl = ScaleControl::kUnitsFromDrawers;
    KVD::COMPtr<IDragScale> mLeftDrag, mRightDrag;
    KVD::COMPtr<IScale> mLeftScale, mRightScale;
    KVD::COMPtr<IScaleEx> mLeftScaleEx, mRightScaleEx;
    TChannelId mLeftChannel = kNoChannel, mRightChannel = kNoChannel;
    PrefixInfo mLeftPrefix, mRightPrefix;
    bool mLeftFound = false, mRightFound = false;
    uint32_t mPendingRanges = 0;
    void* mWindow = nullptr;
    void* mParent = nullptr;
};

}  // namespace OrrelDraw
