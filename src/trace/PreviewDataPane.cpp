#include "trace/PreviewDataPane.h"

#include <algorithm>

#include "IRecordDataServices.h"
#include "foundation/StringKeys.h"
#include "foundation/StringResources.h"
#include "foundation/UnknownImp.h"
#include "foundation/cocoa/MessageBox.h"
#include "foundation/storage/KVDFileRef.h"
#include "foundation/storage/StorageEntry.h"
#include "trace/DrawPreTriggerBackground.h"
#include "trace/TraceViewModes.h"

namespace OrrelDraw {

namespace {

// The temporary compound file of monitored data: deleted on release, transacted, created,
// exclusive, read-write.
constexpr uint32_t kMonitorStorageMode = 0x4011012;
constexpr uint32_t kMonitorStorageFlags = 0x4000000F;
constexpr uint32_t kShowInPane = 0x80000000;
// The message box of a refused start: an OK button.
constexpr unsigned kRefusalBoxFlags = 0x14000001;
// Pixels between the preview control and the scroll bar.
constexpr int kControlReserveGap = 5;

KVD::String Text(const KVDXMLStringKey& key)
{
    return KVD::String(GetStringFromStringsFile(KVDGetMyBundle(), key.key, key.table, false));
}

template <class I>
KVD::COMPtr<I> Query(IUnknown* object)
{
    return KVD::COMPtr<I>(KVD::com_cast(object));
}

}  // namespace

// The pane's ear on its monitoring record: sampling calls reach the pane's online path until the
// pane lets go of it.
class PreviewViewSink final : public KVD::detail::CountedUnknown<IOrrelDataSink> {
public:
    explicit PreviewViewSink(DataPane* pane) : mPane(pane) {}
    void Detach() { mPane = nullptr; }

    HRESULT PrepareForSampling(uint32_t block) override
    {
        return mPane != nullptr ? mPane->PrepareForSampling(block) : KVD_S_FALSE;
    }
    HRESULT OnRecordStart(uint32_t block, AutoBool record) override
    {
        return mPane != nullptr ? mPane->OnRecordStart(block, record) : KVD_S_FALSE;
    }
    HRESULT AppendSamples(uint32_t, uint32_t, uint32_t, const float*) override { return KVD_S_OK; }
    HRESULT Update(uint32_t block) override { return mPane != nullptr ? mPane->Update(block) : KVD_S_FALSE; }
    HRESULT OnRecordEnd(uint32_t block, BlockUpdateType* update) override
    {
        return mPane != nullptr ? mPane->OnRecordEnd(block, update) : KVD_S_FALSE;
    }
    HRESULT CleanUpAfterSampling(AutoBool kept) override
    {
        return mPane != nullptr ? mPane->CleanUpAfterSampling(kept) : KVD_S_FALSE;
    }

private:
    DataPane* mPane;
};

PreviewDataPane::PreviewDataPane(IRecordData* record, int scaleRequest, uint32_t paneFlags, DragScaleStyle style,
                                 uint32_t controlFlags, uint32_t miscFlags, Clock clock)
    : SimpleDataPane(record, scaleRequest, paneFlags, style, controlFlags, miscFlags, std::move(clock)),
      mControlFlags(controlFlags),
      mDocument(record),
      mViewSink(new PreviewViewSink(this)),
      mMode((controlFlags & kControlStartMonitoring) != 0 ? kPreviewMonitor : kPreviewDocument)
{
    DrawPreTriggerBackground::Install();
}

PreviewDataPane::~PreviewDataPane()
{
    // The pane is half gone: it hears nothing more before the device stops.
    mViewSink->Detach();
    ReleaseMonitor();
}

void PreviewDataPane::Notify(int kind, IRecordData* record)
{
    KVD::COMPtr<IRecordData> held(record);
    uint64_t args[2] = {uint64_t(kind), uint64_t(uintptr_t(record))};
    NotifyObservers(PreviewModeEventId::GetId(), args);
}

void PreviewDataPane::DoOrrelViewId()
{
    OnPreviewModeChange(kPreviewDocument);
    Notify(0, mDocument.get());
}

void PreviewDataPane::DoMonitor()
{
    OnPreviewModeChange(kPreviewMonitor);
    Notify(1, mMonitor.get());
}

void PreviewDataPane::DoPause()
{
    OnPreviewModeChange(kPreviewPause);
    Notify(1, mMonitor.get());
}

void PreviewDataPane::OnPreviewModeChange(TPreviewMode mode)
{
    if (mManager == nullptr)
        return;
    if (mode == kPreviewReapply) {
        if (mMode == kPreviewReapply)
            return;
        const TPreviewMode previous = mMode;
        mMode = kPreviewReapply;
        Enter(previous);
        mMode = previous;
        return;
    }
    if (mode == mMode)
        return;
    mMode = mode;
    Enter(mode);
}

void PreviewDataPane::Enter(TPreviewMode mode)
{
    switch (mode) {
    case kPreviewDocument:
        ShowDocument();
        break;
    case kPreviewMonitor:
        Monitor();
        break;
    case kPreviewPause:
        Disconnect();
        break;
    default:
        break;
    }
}

void PreviewDataPane::ShowDocument()
{
    ReleaseMonitor();
    DataPane::SetRecordData(kShowInPane, mDocument.get(), &mSavedRightEdge);
}

void PreviewDataPane::Monitor()
{
    if (mMonitor == nullptr)
        CreateMonitoringRecord();
    if (const auto sink = MonitorSink())
        mManager->AddSink(0, sink.get());
    StartSampling();
}

void PreviewDataPane::CreateMonitoringRecord()
{
    const auto services = Query<IRecordDataServices>(mDocument.get());
    if (services == nullptr)
        return;
    KVD::COMPtr<IRecordData> created;
    if (services->CreateRecord(0, created.Set()) != KVD_S_OK)
        return;
    if (created == nullptr)
        return;
    mMonitor = created;
    if (newRecordCallback)
        newRecordCallback(mMonitor.get());
    const auto monitorServices = Query<IRecordDataServices>(mMonitor.get());
    if (monitorServices != nullptr) {
        // Without a file monitoring goes on in memory.
        KVD::COMPtr<IStorage> storage;
        if (KVDStgCreateDocfile(KVDFileRef(), kMonitorStorageMode, kMonitorStorageFlags, storage.Set(), 0, 0) == KVD_S_OK)
            monitorServices->AttachStorage(0, storage.get());
        monitorServices->AddViewSink(mViewSink.get());
    }
    mSavedRightEdge = GetRightEdgeVPix();
    DataPane::SetRecordData(kShowInPane, mMonitor.get(), nullptr);
}

void PreviewDataPane::StartSampling()
{
    mManager->Prepare(0, kShowInPane, 1);
    AutoBool answer = kAutoFalse;
    IAutoKVDString* reason = nullptr;
    HRESULT result = mManager->CanStart(0, &answer, &reason);
    KVD::String text;
    if (reason != nullptr)
        text.MakeValidStringRepAndRelease(reason);
    if (answer != kAutoFalse) {
        IAutoKVDString* startReason = nullptr;
        result = mManager->Start(0.0, 0, &startReason);
        if (startReason != nullptr)
            text.MakeValidStringRepAndRelease(startReason);
    }
    if (result == KVD_S_OK)
        return;
    Disconnect();
    if (result != KVD_E_SAMPLING_SHOWN)
        ShowRefusal(result, text);
}

void PreviewDataPane::ShowRefusal(HRESULT result, const KVD::String& reason)
{
    const KVD::String text = reason.empty() ? Text(OrrelDrawStr::IDS_CanStartSamplingFailed) : reason;
    KVD::CAFMessageBox(HWND{}, text.c_str(), Text(OrrelDrawStr::IDS_ERROR_CAPTION).c_str(), kRefusalBoxFlags,
                       TCAFId(KVD_E_SAMPLING_SHOWN), int(result));
}

KVD::COMPtr<IOrrelDataSink> PreviewDataPane::MonitorSink() const
{
    return Query<IOrrelDataSink>(mMonitor.get());
}

void PreviewDataPane::Disconnect()
{
    if (mManager == nullptr)
        return;
    mManager->Stop(0);
    if (const auto sink = MonitorSink())
        mManager->RemoveSink(0, sink.get());
}

void PreviewDataPane::ReleaseMonitor()
{
    Disconnect();
    if (const auto services = Query<IRecordDataServices>(mMonitor.get()))
        services->RemoveViewSink(mViewSink.get());
    mMonitor = nullptr;
}

void PreviewDataPane::SetRecordData(unsigned record, IRecordData* data, const int64_t* position)
{
    mDocument = data;
    DataPane::SetRecordData(record, data, position);
    ReleaseMonitor();
}

void PreviewDataPane::SetDeviceManager(unsigned, IKVDDeviceManager* manager)
{
    if (manager == nullptr && mMode != kPreviewDocument) {
        if (mPreviewControl != nullptr)
            mPreviewControl->DepressOrrelViewBtn();
        else
            DoOrrelViewId();
    }
    if (mMonitor != nullptr && mManager != manager) {
        // The old device stops before the record's sink moves on.
        Disconnect();
        if (const auto sink = MonitorSink(); sink != nullptr && manager != nullptr)
            manager->AddSink(0, sink.get());
    }
    mManager = manager;
    if (mPreviewControl != nullptr)
        mPreviewControl->SetEnabled(mManager != nullptr);
}

void PreviewDataPane::OnCleanupWindow()
{
    Disconnect();
    DataPane::OnCleanupWindow();
}

void PreviewDataPane::OnSetupWindow(void* window, void* parent)
{
    mPreviewControl.reset(CreatePreviewControl(this, mControlFlags));
    if (mPreviewControl != nullptr)
        mPreviewControl->SetEnabled(mManager != nullptr);
    if ((mTraceViewFlags & kTraceViewControl) != 0)
        mTraceViewControl.reset(CreateTraceViewControl(this, mTraceViewFlags));
    DataPane::OnSetupWindow(window, parent);
}

void PreviewDataPane::SetScalesBoundary(const TRect& rect)
{
    DataPane::SetScalesBoundary(rect);
}

void PreviewDataPane::PositionScrollAndZoomControls()
{
    DataPane::PositionScrollAndZoomControls();
    if (mPreviewControl == nullptr)
        return;
    TSize own;
    mPreviewControl->GetSize(&own);
    const int W = GetPaneBorderW();
    const int x = GetOrigin().x + W, top = GetOrigin().y + GetRect().bottom + 2 * GetPaneBorderH();
    mPreviewControl->SetPosition(TRect(x, top, x + own.cx, top + own.cy));
    // The scroll bar gives the control its room.
    if (GetScrollBar() == nullptr || GetZoomControl() == nullptr)
        return;
    TSize zoom;
    GetZoomControl()->GetSize(&zoom);
    const int zoomLeft = GetOrigin().x + GetRect().right - W - zoom.cx;
    const int barLeft = x + own.cx + kControlReserveGap;
    GetScrollBar()->SetPosition(TRect(barLeft, top, std::max(barLeft, zoomLeft), top + zoom.cy));
}

void PreviewDataPane::OnTraceViewModeChange(int mode, unsigned flags)
{
    ApplyTraceViewMode(*this, mode, flags, [&](unsigned) { TraceDrawerCallback((flags & 1) == 0); });
}

void PreviewDataPane::TraceDrawerCallback(bool on)
{
    if (traceDrawerCallback)
        traceDrawerCallback(on);
}

}  // namespace OrrelDraw
