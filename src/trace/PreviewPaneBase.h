// What a dialog with a preview derives from: it makes the preview pane in the dialog's data-pane
// view over the document's record data, hands it the recording hardware, and gives the dialog
// the pane's position, y ranges, unit prefixes and trace view modes by side.
#pragma once

#include <functional>

#include "IKVDDeviceManager.h"
#include "IOrrelData2.h"
#include "IOrrelDocument.h"
#include "foundation/draw/TColor.h"
#include "trace/DataPaneView.h"
#include "trace/PreviewWinPane.h"

namespace ExtLib {

enum ESide : int { kSideLeft = 0, kSideRight = 1 };

class PreviewPaneBase {
public:
    // The channels a preview offers at least.
    static constexpr int kMinChannels = 16;
    // The trace view modes offered by default: stack, overlay and source only.
    static constexpr int kAllTraceViewModes = 15;

    PreviewPaneBase() = default;
    virtual ~PreviewPaneBase();
    PreviewPaneBase(const PreviewPaneBase&) = delete;
    PreviewPaneBase& operator=(const PreviewPaneBase&) = delete;

    // Makes the pane again, the drawers filtered as the pre-processor flag says.
    virtual void Recreate(bool) = 0;
    virtual void EnableOnline(bool on);
    virtual void AutoScaleY(ESide side, ChannelYDataRange* range);
    virtual void SetY(ESide side, ChannelYDataRange range);

    // The pane over the data's record data in the view (none without one), with the device
    // manager when the document has recording hardware (null: none).
    void Init(IOrrelData2* data, OrrelDraw::SPIRO_DataPaneView* view, IKVDDeviceManager* manager, uint32_t paneFlags,
              DragScaleStyle style);
    // The same for a document: its time display and graticule, and its device manager when it
    // can record and has a device.
    void Init(IAutoOrrelDoc* document, IOrrelData2* data, OrrelDraw::SPIRO_DataPaneView* view, uint32_t paneFlags,
              DragScaleStyle style);
    void SetupWindowR(int record, int);
    void SetPosition(KVDPosition left, double ticksPerPixel);
    // The side's range of pane 0, the high end first; NaN at both ends when there is none.
    ChannelYDataRange GetY(ESide side) const;
    void LockDragScaleUnitsPrefix(ESide side, UnitPrefix prefix);
    void InitTraceView(int offered, std::function<void(unsigned)> callback);
    void ChangeTraceViewMode(int mode, unsigned flags);
    void PreprocessorDrawerFilter(bool on);

    OrrelDraw::PreviewWinPane* Pane() const { return mPane.get(); }
    IAutoOrrelDoc* Document() const { return mDocument; }
    IOrrelData2* Data() const { return mData; }
    const TColor& GraticuleColour() const { return mGraticuleColour; }
    uint32_t GraticuleStyle() const { return mGraticuleStyle; }
    bool GraticuleFlag() const { return mGraticuleFlag; }
    IRecordData* RecordData() const { return mRecordData.get(); }
    int WindowStart() const { return mWindowStart; }
    int ChannelCount() const { return mChannelCount; }
    bool IsReady() const { return mReady; }
    bool PreprocessorFilter() const { return mPreprocessorFilter; }
    int OfferedTraceViewModes() const { return mTraceViewModes; }

private:
    static int ScaleOf(ESide side) { return side == kSideLeft ? kScaleLeft : kScaleRight; }
    // The graticule as the document's settings have it; the defaults stay where they say nothing.
    void SetGraticuleStyles();

    TColor mGraticuleColour{0xFFFF, 0xFFFF, 0xFFFF, 1.0f};
    uint32_t mGraticuleStyle = 0;
    bool mGraticuleFlag = false;
    int mChannelCount = 0;
    bool mReady = false;
    int mWindowStart = 0;
    KVD::COMPtr<OrrelDraw::PreviewWinPane> mPane;
    KVD::COMPtr<IRecordData> mRecordData;
    IAutoOrrelDoc* mDocument = nullptr;  // not held
    IOrrelData2* mData = nullptr;  // not held
    KVD::COMPtr<IKVDDeviceManager> mManager;
    OrrelDraw::SPIRO_DataPaneView* mView = nullptr;
    int mTraceViewModes = 0;
    std::function<void(unsigned)> mTraceViewCallback;
    bool mPreprocessorFilter = true;
};

}  // namespace ExtLib
