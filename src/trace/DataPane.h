// A data pane: one record shown as a column of channel panes above a time-scale pane. It owns
// the horizontal geometry every child pane shares (ticks per pixel and the virtual pixel at the
// right edge), lays the panes out, paints them through their drawers, scrolls and zooms in
// time, follows a record being sampled, answers drawers and owners, and writes its settings.
// The platform layer derives from it and supplies the window operations left abstract here.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "FrameworkIds.h"
#include "IOnlineDataSink.h"
#include "IOrrelComment.h"
#include "IRecordData.h"
#include "IRecordDataObserver.h"
#include "foundation/COMPtr.h"
#include "foundation/DynamicId.h"
#include "framework/CAFEventHandlerT.h"
#include "framework/CAFMessageSender.h"
#include "framework/CAFSubject.h"
#include "framework/ResponseTable.h"
#include "trace/ChannelPane.h"
#include "trace/DataPaneBase.h"
#include "trace/DataPaneControls.h"
#include "trace/DataPaneInitOnCopy.h"
#include "trace/DrawPrintableBase.h"
#include "trace/IKVDDraggableRects.h"
#include "trace/IKVDOrrelLanes.h"
#include "trace/InteractiveObjectContainer.h"
#include "trace/PaneChannelPolicy.h"
#include "trace/TimeLabeler.h"
#include "trace/TimeScale.h"

// 4E7A91C2-6B3D-4F58-A0E1-2C9D8B7F3A65: events of the trace drawing library's drawers and panes
inline constexpr _IID GUID_OrrelDrawerEvents = {0x4E7A91C2, 0x6B3D, 0x4F58, {0xA0, 0xE1, 0x2C, 0x9D, 0x8B, 0x7F, 0x3A, 0x65}};

namespace OrrelDraw {

// What the data pane's observers hear: the end of a scale drag and an auto-scale command
// (argument: the channel, low half number, high half flags), and units found (arguments: left
// found, right found, the left and the right unit text as const KVD::String*).
using EndDragEventId = EventIdClass<&CLSID_OrrelDocument, 46u>;
using AutoScaleEventId = EventIdClass<&CLSID_OrrelDocument, 47u>;
using UnitsFoundEventId = EventIdClass<&GUID_OrrelDrawerEvents, 1u>;
using UnitsShownEventId = EventIdClass<&GUID_OrrelDrawerEvents, 2u>;

// Asks a view to open the guideline dialog: kind, channel number, position tick and record.
using GuidelineMsg = MsgData4<StaticMsgIdClass<0x800C008D>, 4, int, int, unsigned int, int>;
constexpr int kGuidelineMsgKind = 34;

constexpr double kMinTicksPerPix = 0.1;
constexpr double kMaxTicksPerPix = 500000;
// The needs-update bits that make a paint revert first.
constexpr uint32_t kRevertBits = 0xFF000000u;
// Modifier flag of the wheel that zooms instead of scrolling.
constexpr unsigned kWheelZoomFlag = 1;

// The controls ShouldControlBeEnabled answers for.
namespace PaneControl {
constexpr int kScrollBar = 0;
constexpr int kZoom = 1;
}  // namespace PaneControl

// A record position as the zoom keeps it: a pixel offset within a block at the old zoom.
struct ZoomPosition {
    int64_t offset;
    int32_t block;
};

class DataPane : public IOnlineDataSink, public ICommentsObserver, public CAFSubject, public IKVDDraggableRects,
                 public IDrawerDataPane, public InteractiveObjectContainer, public PaneChannelPolicy,
                 public DrawPrintableBase, public DataPaneBase, public DataPaneInitOnCopy,
                 public CAFEventHandlerT<true>, public IKVDOrrelLanes, public ChannelPaneOwner,
                 public IRecordDataObserver {
public:
    // Milliseconds of a steady clock; the wheel's rate and the periodic notices read it.
    using Clock = std::function<int64_t()>;
    using ViewHook = std::function<void(unsigned record, double ticksPerPix, int block, double seconds)>;
    using LongHook = std::function<void(long)>;
    using DragHook = std::function<void(TChannelId, long, DragScaleDragType, IDragScale*)>;
    using AutoScaleHook = std::function<void(TChannelId, long)>;
    using BoolHook = std::function<void(bool)>;
    using PaintOverlayHook =
        std::function<bool(TDC&, TRect&, IRecordDataPixMap*, const std::function<void()>& done)>;
    // A record starts being sampled: the block, the record data, its seconds per tick, when it
    // started, the pixel it starts at, the ticks it holds so far and whether it is kept.
    using RecordStartHook = std::function<void(unsigned block, IUnknown* record, double secsPerTick,
                                               KVDTimeDate start, long long firstPixel, long ticks,
                                               AutoBool recordFlag)>;

    DataPane(IRecordData* record, int scaleRequest, uint32_t paneFlags, DragScaleStyle style,
             uint32_t controlFlags, uint32_t needsUpdateFlags, uint32_t miscFlags, Clock clock = {});
    DataPane(const DataPane&) = delete;
    DataPane& operator=(const DataPane&) = delete;

    // The virtual operations below keep the order of the pane's table; tests pin it.

    // IUnknown and IOnlineDataSink: each online call reaches the pixel map first (when it
    // follows sampling itself); under misc flag kNoOnlineDrawing nothing more happens.
    uint32_t AddRef() override { return mRefs.Increment(); }
    uint32_t Release() override;
    HRESULT QueryInterface(const _IID& iid, void** out) override;
    HRESULT CanSample(IAutoKVDString** reason) override;
    HRESULT PrepareForSampling(uint32_t block) override;
    HRESULT OnRecordStart(uint32_t block, AutoBool recordFlag) override;
    HRESULT Update(uint32_t block) override;
    HRESULT OnRecordEnd(uint32_t block, BlockUpdateType* type) override;
    HRESULT CleanUpAfterSampling(AutoBool flag) override;
    HRESULT OnEvent(uint32_t id, void* data) override;
    HRESULT Reserved1() override { return KVD_E_NOTIMPL; }
    HRESULT Reserved2() override { return KVD_E_NOTIMPL; }
    HRESULT OnNewBlock(uint32_t) override { return KVD_S_OK; }
    int32_t GetCallingOrderNumber() override { return 100; }
    int32_t GetSourceChannelDataPriority() override { return 100; }

    ~DataPane() override;
    // Makes copy show what this pane shows: its settings (InitOnCopy), the record, the channel
    // panes with copies of their drawers. KVD_E_NULLOUT without a copy.
    virtual HRESULT CloneEx(DataPane* copy) const;
    virtual void OnSetupWindow(void* window, void* parent);
    virtual void OnCleanupWindow();
    virtual void SetScalesBoundary(const TRect& rect);
    virtual TRect GetScalesBoundary() const { return mScalesBoundary; }
    // Where the pane's messages go: the host's handler tree and the view they address (0: none).
    virtual IMessageHandler* GetMessageHandler() const { return mSender.GetDestination(); }
    virtual ViewId GetViewBase() const { return mView; }
    // Window timers belong to the platform layer; without one there are none (0, false).
    virtual unsigned SetTimer(unsigned, unsigned) { return 0; }
    virtual bool KillTimer(unsigned) { return false; }
    virtual bool ShowRecordLabels() const { return true; }
    virtual void OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int flags);
    virtual void SetRecordData(unsigned number, IRecordData* record, const int64_t* rightEdge);
    virtual HRESULT GetDragScale(int pane, int record, int side, IScale** scale);
    HRESULT GetVisibleRegion(int record, KVDPosition* first, KVDPosition* last) override;
    virtual HRESULT GetVisibleRegionInXUnits() { return KVD_E_NOTIMPL; }
    HRESULT GetPaneDragScale(int pane, int side, IScale** scale) override;
    HRESULT GetUnitsForScale(int pane, int side, uint32_t mode, int block, IAutoKVDString** units,
                             DataScaling* scaling, TChannelId* channel, DataMaxMin* maxMin, double* factor) override;
    HRESULT GetScalingMode(int pane, RecDrawScalingModeFlags* mode) override;
    HRESULT GetFlags(RecDrawScalingModeFlags* mode, uint32_t* misc) override;
    // The channel a pane shows, as the pane-channel policy maps it; KVD_E_NULLOUT for a bad pane.
    virtual HRESULT GetChannelInfo(int pane, TChannelId* channel) const;
    virtual HRESULT Read(IBinInStream* stream);
    virtual HRESULT Write(IBinOutStream* stream) const;
    virtual HRESULT SetReferenceDC(TDC& dc);
    virtual HRESULT ClearReferenceDC();
    // Comments: a comment added, changed or removed is redrawn where it shows.
    HRESULT OnCommentsEvent(uint32_t aspect, IOrrelComment* comment) override;
    double GetXPixelsPermm() override { return kPixelsPerMillimetre; }
    double GetYPixelsPermm() override { return kPixelsPerMillimetre; }
    HRESULT GetReferenceDC(int record, TDC** dc) override;
    HRESULT GetAnyReferenceDCPixelRatio(int record, double* x, double* y) override;
    HRESULT AreDrawingHiRes(int record, bool* hiRes) override;
    HRESULT SetLayerAlphaRect(int record, int pane, int layerCode, const TRect* rect) override;
    HRESULT SetLayerAlpha(int record, int pane, int layerCode, int alpha) override;
    HRESULT GetDataClientRect(int flags, TRect* rect) override;
    HRESULT InvalidateRect(int flags, const TRect* rect) override;
    HRESULT IsPreparedForSamplingHR() override { return mSampling ? KVD_S_OK : KVD_S_FALSE; }
    HRESULT IsOnlineDrawingLatestHR() override { return IsOnlineAutoScrollX() ? KVD_S_OK : KVD_S_FALSE; }
    HRESULT GetScaleChan(int pane, int record, TChannelId* channel) override;
    virtual void OnSize(const TSize& size);
    void OnEnterExitSizeMove(bool enter) override { mInSizeMove = enter; }
    virtual bool OnPrePaint();
    virtual void OnPaint(TDC& dc, const TRect& rect);
    // One layer of every child pane over the rectangle, as a paint draws it.
    virtual void DrawLayer(TDC& dc, int layer, const TRect& rect);
    // Copies the child panes' composed layer bitmaps onto dc; false when none has one.
    virtual bool BltBitMaps(TDC& dc, const TRect& rect);
    virtual void OnScrollX(unsigned code) { DoScrollX(code, 1.0); }
    virtual void OnZoomX(const TicksPerPix& ticks, const int* pivot, bool notify);
    // A zoom given in seconds per pixel, at the seconds per tick of the block at the right edge.
    virtual void OnZoomXSecPerPix(double secsPerPixel);
    virtual void OnCommand(int type, int id);
    virtual void OnInitMenuPopup(struct TMenuSink& menu, int first, int last);
    virtual void ScrollToPosition(KVDPosition position, int where);
    virtual void OnZoomXStep(bool zoomIn);
    virtual void OnOnlineAutoScrollEnable(bool on, bool notify);
    virtual void OnScrollToEnd();
    virtual void OnFirstSamplingUpdate() {}
    // A draw event of the host, handed to every interactive object.
    virtual void OnDrawEvent(TCAFId id, unsigned flags, void* data);
    void OnEndDrag(int pane, long side, DragScaleDragType type, IDragScale* scale) override;
    virtual HRESULT AutoScaleX(int) { return KVD_E_NOTIMPL; }
    bool IsOnlineAutoScrollX() const override { return mSampling && mAutoScrollChoice; }
    virtual void SetOnlineAutoScrollEnable(bool on, bool notify);
    virtual void SetOnlineRadarMode(bool on) { mRadarMode = on; }
    virtual void Invalidate(bool erase) = 0;
    // Without a finer window operation a rectangle invalidates the window.
    void InvalidateRect(const TRect*, bool erase) override { Invalidate(erase); }
    void ScrollX(long long pixels, const TRect* rect) override = 0;
    virtual TicksPerPix GetTicksPerPix() const;
    virtual double GetSecPerPix() const;
    virtual void OnLButtonDblClk(unsigned flags, const TPoint& point);
    virtual void OnMouseWheel(unsigned flags, int delta, const TPoint& point);
    virtual void OnMouseLeave();
    virtual void SetPanePositions(std::shared_ptr<std::vector<int>> tops, std::shared_ptr<std::vector<int>> heights);
    virtual int HitTestChannelPane(const TPoint& point) const;
    bool AreDrawingOnBitmaps() const override { return GetEnableBitmapCaching() && !IsNonInteractiveMode(); }
    virtual void Revert(uint32_t flags);
    // A selection is about to start in a pane (−1 the time scale): true to let it.
    virtual bool OnBeforeSelectInPane(int pane, const TPoint& point);
    // A selection in a pane ended: the pane is drawn again.
    virtual void OnAfterSelectInPane(int pane);
    virtual void SetIsSampling(bool on) { mSampling = on; }
    int GetPaneBorderW() const override { return 1; }
    virtual int GetPaneBorderH() const { return 1; }
    // Whether a control of the pane may be used now.
    virtual bool ShouldControlBeEnabled(int control) const;
    virtual void SetTicksPerPix(const TicksPerPix& ticks);
    virtual void SetBackgroundColor(uint32_t rgb);
    HRESULT GetBackgroundColor(uint32_t* rgb) override;
    HRESULT AdjustColorForBackground(uint32_t rgb, uint32_t* out) override;
    // IKVDOrrelLanes: the channel panes, or the delegate's lanes when one is set.
    int GetNumLanes() const override;
    void SetNumLanes(int count) override;
    HRESULT GetLaneHeights(std::vector<int>*) const override { return KVD_S_OK; }
    HRESULT SetLaneHeights(const std::vector<int>&) override { return KVD_S_OK; }
    HRESULT GetLaneDragScale(int pane, int side, IScale** scale) override
    {
        return GetPaneDragScale(pane, side, scale);
    }
    // The user starts (true) or ends (false) dragging the scroll bar; the end is a scroll's end.
    virtual void OnNotifyDataPaneUserScroll(bool scrolling);
    virtual ScrollBar* CreateScrollBar() = 0;
    virtual ZoomControl* CreateZoomControlX(uint32_t controlFlags) = 0;
    virtual void PositionWindow(int x, int y, int width, int height, bool redraw) = 0;
    virtual void UpdateWindow() = 0;
    virtual void OnCreateChannelPane(int index);
    virtual void OnDestroyChannelPane(int index);
    virtual ChannelPane* CreateChannelPane(int index);
    virtual void PositionChannelPanes();
    virtual void PositionScrollAndZoomControls();
    virtual bool SetYScaleDefaultRangeFromRecord(int record, int block, int pane);
    virtual void LimitRightEdgeVPix();
    virtual void DoEndScrollX(bool notify);
    virtual void DrawData(TDC& dc, uint32_t flags, const TRect& rect, int first, int last);
    virtual void DrawNewComment(uint32_t aspect, IOrrelComment* comment);
    virtual void ClearLayersAllPanes();
    // The response table: a header and the end only; commands come through OnCommand.
    CAF_DECLARE_RESPONSE_TABLE();
    virtual bool GetEnableBitmapCaching() const { return false; }

    // The rest of the bases' operations.

    // IKVDDraggableRects: one rectangle per channel pane, where a drag may start.
    int GetDraggableRectCount() const override { return ChannelPaneCount(); }
    HRESULT GetDraggableRect(int index, TRect* rect) const override;

    // PaneChannelPolicy: pane i shows its channel pane's channel.
    TChannelId PaneToChannel(int pane) const override;
    int32_t ChannelToPane(TChannelId channel) const override;
    TChannelId UserChanToVirtualChan(const TChannelId& channel) const override { return channel; }
    TChannelId VirtChanToUserChan(const TChannelId& channel) const override { return channel; }

    // DataPaneInitOnCopy: the zoom, the place in the record, the background, the time display,
    // the modes and the stored layout of the original.
    void InitOnCopy(const DataPane& original) override;

    // IRecordDataObserver: the record shown grew or got records; the pane takes in the extent.
    HRESULT OnRecordDataChanged(uint32_t what) override;

    // ChildPaneOwner
    using ChildPaneOwner::InvalidateRect;
    int GetLatestBmpOffset() const override { return mLatestBmpOffset; }
    void SetAllBitmapsDirtyAndInvalidate() override { InvalidateAllPanes(true); }
    bool IsNonInteractiveMode() const override { return (mMiscFlags & MiscFlag::kNonInteractive) != 0; }
    bool TakeAllBitmapsDirtyRequest() override { return false; }
    bool IsOnlineRadarMode() const override { return mRadarMode; }
    bool InvalidateOnPrepare() const override { return true; }
    int64_t GetLeftColumn() const override { return mRightEdge - DataWidth(); }
    int GetDataLeft() const override { return GetPaneBorderW(); }
    bool ShowsRecordNumbers() const override { return ShowRecordLabels(); }
    TDC* GetReferenceContext() const override { return ReferenceDC(); }
    IDrawerDataPane* GetDrawerDataPane() override { return this; }
    IRecordDataPixMap* GetRecordPixMap() const override { return mPixMap; }

    // ChannelPaneOwner
    std::recursive_mutex& Mutex() override { return mMutex; }
    uint32_t GetMiscFlags() const override { return mMiscFlags; }
    bool IsSampling() const override { return mSampling; }
    void OnAutoScaleCommand(TChannelId channel, long id) override;
    void OnPaneScalingChanged() override;
    void OnUnitsFound(bool left, bool right, const KVD::String& leftUnits, const KVD::String& rightUnits) override;
    HRESULT SendGuidelineMessage(TChannelId channel, KVDPosition position) override;

    // Window life
    void OnMove(const TPoint& point);
    int GetMaxScaleWidth(int side) const;
    // Pixels the left and right scales take at least, whatever the panes' scales need.
    void SetMinScaleWidths(int left, int right);

    // Record and panes
    void SetNumberOfChannelPanes(int count);
    int ChannelPaneCount() const { return int(mPanes.size()); }
    ChannelPane& GetChannelPane(int i) const { return *mPanes[size_t(i)]; }
    TimeScale& GetTimeScale() const { return *mTimeScale; }
    HRESULT AddRecordDrawer(int pane, unsigned number, IOrrelRecordDrawer* drawer, unsigned flags);
    HRESULT ClearRecordDrawers(int pane, OrrelDrawerInfoOutFlags flags, TChannelId channel);

    // Geometry
    int64_t GetRightEdgeVPix() const { return mRightEdge; }
    int64_t TotalPixels() const;
    int DataWidth() const { return mRect.right - 2 * GetPaneBorderW(); }
    const TRect& GetRect() const { return mRect; }
    const TPoint& GetOrigin() const { return mOrigin; }

    // Scrolling and zooming
    void DoScrollX(unsigned code, double amount);
    // The notices of a scroll and a zoom to the owner's hooks.
    void OnScrollX();
    void OnZoomX();
    void SetLeftEdgePosition(KVDPosition position);
    void ScrollToRightMostPixel();
    void UpdateScrollBar();
    void ScrollXAllPanes(long long pixels, OnScrollFlags flags);
    void DoZoomX(const TicksPerPix& ticks, const ZoomPosition* position);

    // Mouse and timers, for the interactive objects
    void OnLButtonDown(unsigned flags, const TPoint& point);
    void OnLButtonUp(unsigned flags, const TPoint& point);
    void OnRButtonDown(unsigned flags, const TPoint& point);
    void OnRButtonUp(unsigned flags, const TPoint& point);
    void OnMouseMove(unsigned flags, const TPoint& point);
    bool OnSetCursor(void* window, int hit, int message) const
    {
        return InteractiveObjectContainer::OnSetCursor(window, hit, message);
    }
    void OnTimer(unsigned id);

    // How far comments reach left of their position: the widest of the time scale's markers.
    int GetCommentLeftExtension();

    // Services to owners
    HRESULT GetDragScaleRangeInUnits(int record, int pane, int side, double* top, double* bottom);
    HRESULT AutoScale(int record, int pane, int side);
    HRESULT GetHasData(int record, int side, bool* has);
    HRESULT LockDragScaleUnitPrefix(int record, int pane, int side, UnitPrefix prefix);
    HRESULT SetRange(uint32_t flags, int pane, int side, const ChannelYDataRange& range);
    HRESULT SetDefaultRange(uint32_t flags, int pane, int side, const ChannelYDataRange& range);
    HRESULT SetTraceIndicatorColour(int record, int pane, int side, bool show, uint32_t rgb, int id);
    void SetYScaleUnits();
    void SetTimeDisplayMode(TimeDisplayMode mode);
    void InvalidateAll(bool erase);
    void InvalidateAllPanes(bool erase);
    void InvalidateXRange(int pane, int from, int to, int firstLayer, int endLayer);
    bool AnyPanesDirty(int layer) const;
    // Not owned; null gives the lanes back to the channel panes.
    void SetLanesDelegate(IKVDOrrelLanes* lanes) { mLanes = lanes; }
    void SetReferenceContext(TDC& dc) { SetReferenceDC(dc); }
    void ClearReferenceContext() { ClearReferenceDC(); }
    void SetScreenPixelRatio(double ratio) { mScreenPixelRatio = ratio; }
    uint32_t DisplayValue(int pane) const { return mDisplayValues.at(size_t(pane)); }

    // Owner hooks
    ViewHook zoomHook, scrollHook, viewChangeHook;
    LongHook scrolledHook, updateHook;
    DragHook endDragHook;
    AutoScaleHook autoScaleHook;
    BoolHook scrollToEndHook, autoScrollChangedHook;
    PaintOverlayHook paintOverlayHook;
    RecordStartHook recordStartHook;

    void SetMessageHandler(IMessageHandler* handler, ViewId view);

    ScrollBar* GetScrollBar() const { return mScrollBar.get(); }
    ZoomControl* GetZoomControl() const { return mZoomControl.get(); }
    int WheelTotal() const { return mWheelTotal; }
    uint32_t& DisplayMode() { return mDisplayMode; }
    bool IsUserScrolling() const { return mUserScrolling; }
    bool AutoScrollChoice() const { return mAutoScrollChoice; }
    void MarkAutoScale(int pane, int side);
    // A point of the screen in the coordinates of the pane's view; unchanged without a view.
    virtual void ScreenToClient(TPoint&) const {}

protected:
    std::recursive_mutex mMutex;

private:
    void TakeUnitsOfStartedRecord(int block);
    void ObserveRecord(IRecordData* record, bool observe);
    // The pixel map's own online face, or null when it has none.
    KVD::COMPtr<IOnlineDataSink> PixMapSink() const;
    bool DrawsOnline() const { return mPixMap != nullptr && (mMiscFlags & MiscFlag::kNoOnlineDrawing) == 0; }
    void PlacePane(ChildPaneBase& pane, const TRect& rect, uint32_t flags, int border);
    void DrawAsEmpty(TDC& dc);
    // Draws the span [first, last) of the data area with the layers given.
    void DrawLayers(TDC& dc, uint32_t flags, const TRect& rect, int first, int last, const KVD::Bitset& layers);
    int TimeScaleHeight() const;
    bool IsPane(int pane) const { return pane >= 0 && pane < ChannelPaneCount(); }
    double PixelRatioX() const;
    void ViewNotice(const ViewHook& hook);
    int64_t Now() const { return mClock(); }
    bool ZoomStep(bool zoomIn, TicksPerPix* next) const;
    // When a record started; the time not finite when the record data does not say.
    KVDTimeDate RecordStartTime(int32_t record) const;
    // The times the drawers of a record get: its start, the first record's start, the mode.
    KVDDataTimeInfo TimeInfo(int32_t record) const;

    KVD::RefCount mRefs;
    Clock mClock;
    TPoint mOrigin;  // of the window in its superview, where the controls go
    int mMinLeftScaleWidth = 0, mMinRightScaleWidth = 0;
    IKVDOrrelLanes* mLanes = nullptr;
    KVD::COMPtr<IRecordData> mRecord;
    KVD::COMPtr<IRecordDataPixMap> mPixMap;
    std::vector<KVD::COMPtr<ChannelPane>> mPanes;
    KVD::COMPtr<TimeScale> mTimeScale;
    std::unique_ptr<ScrollBar> mScrollBar;
    std::unique_ptr<ZoomControl> mZoomControl;
    void* mWindow = nullptr;
    void* mParent = nullptr;
    int mWheelTotal = 0;
    int64_t mLastWheel = 0;
    bool mSampling = false;
    bool mRecordOpen = false;
    unsigned mSamplingBlock = 0;
    AutoBool mRecordFlag = kAutoFalse;
    bool mAutoScrollChoice = false;
    bool mRadarMode = false;
    bool mFirstUpdate = false;
    int64_t mRecordStartTime = 0;
    int64_t mLastPeriodic = 0;
    bool mSizeChanged = false;
    bool mUserScrolling = false;
    bool mLayoutChanged = false;
    bool mInSizeMove = false;
    std::vector<uint32_t> mDisplayValues;
    CAFMessageSender mSender;
    ViewId mView = 0;
    int mCommentExtension = -1;
    TimeDisplayMode mTimeMode = 2;
};

// A menu the zoom items go into.
struct TMenuSink {
    virtual ~TMenuSink() = default;
    virtual void DeleteAll() = 0;
    virtual void Append(const KVD::String& label, unsigned flags, int id) = 0;
};

// A channel as one event argument: number in the low half, flags in the high half.
uint64_t ChannelArgument(TChannelId channel);

// Adjusts a colour so that it stands out from the background.
uint32_t AdjustRgbForBackground(uint32_t rgb, uint32_t background);

}  // namespace OrrelDraw
