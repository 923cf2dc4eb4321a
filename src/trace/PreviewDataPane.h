// A data pane in a dialog's preview: it shows a record of the document, or monitors live data
// from the recording hardware into a monitoring record of its own (kept in a temporary compound
// file), or pauses; and it offers trace view modes for two overlaid traces. Every way out of
// monitoring (pause, the document's record again, a failed start, a new manager, the window's
// clean-up, the pane's end) stops the device and takes the pane's sinks away.
#pragma once

#include <functional>
#include <memory>

#include "IKVDDeviceManager.h"
#include "IOrrelDataSink.h"
#include "foundation/COMPtr.h"
#include "trace/PreviewControl.h"
#include "trace/SimpleDataPane.h"

namespace OrrelDraw {

enum TPreviewMode : int {
    kPreviewDocument = 100,
    kPreviewMonitor = 101,
    kPreviewPause = 102,
    kPreviewReapply = 103,
};

// What observers hear when the user picks a mode, as two 64-bit arguments: kind 0 with the
// document's record, kind 1 with the monitoring record (monitor and pause), as IRecordData*.
// The record is held while they hear it.
using PreviewModeEventId = EventIdClass<&GUID_OrrelDrawerEvents, 0u>;

// Control-create flag: the pane starts monitoring and hides the show-the-document button.
constexpr uint32_t kControlStartMonitoring = 1u << 30;
// Trace-view flag: the pane asks for a trace-view control.
constexpr unsigned kTraceViewControl = 1u;

class PreviewViewSink;

class PreviewDataPane : public SimpleDataPane {
public:
    PreviewDataPane(IRecordData* record, int scaleRequest, uint32_t paneFlags, DragScaleStyle style,
                    uint32_t controlFlags, uint32_t miscFlags, Clock clock = {});
    ~PreviewDataPane() override;

    // The preview control's buttons.
    void DoOrrelViewId();
    void DoMonitor();
    void DoPause();

    virtual void OnPreviewModeChange(TPreviewMode mode);
    virtual void OnTraceViewModeChange(int mode, unsigned flags);
    virtual void TraceDrawerCallback(bool on);
    virtual PreviewControl* CreatePreviewControl(PreviewDataPane* pane, uint32_t controlFlags) = 0;
    virtual PreviewControl* CreateTraceViewControl(PreviewDataPane* pane, unsigned flags) = 0;

    void SetDeviceManager(unsigned, IKVDDeviceManager* manager);
    void SetRecordData(unsigned record, IRecordData* data, const int64_t* position);
    void OnCleanupWindow() override;
    void OnSetupWindow(void* window, void* parent) override;
    void SetScalesBoundary(const TRect& rect);
    // The preview control goes first in the row of the scroll bar, which makes room for it.
    void PositionScrollAndZoomControls() override;

    TPreviewMode GetPreviewMode() const { return mMode; }
    IRecordData* GetMonitoringRecord() const { return mMonitor.get(); }
    IRecordData* GetDocumentRecord() const { return mDocument.get(); }
    PreviewControl* GetPreviewControl() const { return mPreviewControl.get(); }
    int64_t GetSavedRightEdge() const { return mSavedRightEdge; }
    void SetTraceViewFlags(unsigned flags) { mTraceViewFlags = flags; }

    std::function<void(bool)> traceDrawerCallback;
    std::function<void(IRecordData*)> newRecordCallback;

private:
    void Enter(TPreviewMode mode);
    void ShowDocument();
    void Monitor();
    // Makes the monitoring record with its storage and shows it.
    void CreateMonitoringRecord();
    // Starts the device; a refusal is shown and leaves the device stopped and without our sink.
    void StartSampling();
    void ShowRefusal(HRESULT result, const KVD::String& reason);
    KVD::COMPtr<IOrrelDataSink> MonitorSink() const;
    // Stops the device and takes the monitoring record's sink from it.
    void Disconnect();
    // Disconnects and lets the monitoring record go, with its storage.
    void ReleaseMonitor();
    void Notify(int kind, IRecordData* record);

    uint32_t mControlFlags;
    int64_t mSavedRightEdge = 0;
    std::unique_ptr<PreviewControl> mPreviewControl;
    std::unique_ptr<PreviewControl> mTraceViewControl;
    KVD::COMPtr<IRecordData> mDocument;
    KVD::COMPtr<IRecordData> mMonitor;
    KVD::COMPtr<IKVDDeviceManager> mManager;
    KVD::COMPtr<PreviewViewSink> mViewSink;
    TPreviewMode mMode;
    unsigned mTraceViewFlags = 0;
};

}  // namespace OrrelDraw
