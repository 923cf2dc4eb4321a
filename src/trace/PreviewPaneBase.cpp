#include "trace/PreviewPaneBase.h"

#include <limits>

#include "IOrrelRecording.h"
#include "IRecordDataServices.h"
#include "ISettingsRegistrar.h"
#include "foundation/numeric/Rational.h"
#include "framework/SRKey.h"
#include "trace/OrrelColours.h"
#include "trace/TraceViewModes.h"

namespace ExtLib {

namespace {

// The document's record data as its services give it.
constexpr uint32_t kDocumentRecordData = 0xC0000000;
// Misc flags of the preview pane: it does not write its settings with the document.
constexpr uint32_t kPreviewMiscFlags = 0x80000000;
// The document's settings that give the graticule.
constexpr TCAFId kGraticuleColourKey = 0x800C000A;
constexpr TCAFId kGraticuleStyleKey = 0x800C000E;
constexpr TCAFId kGraticuleFlagKey = 0x800C0009;

// The document's device manager when it can record and has a device.
KVD::COMPtr<IKVDDeviceManager> RecordingDevice(IAutoOrrelDoc* document)
{
    const KVD::COMPtr<IOrrelRecording> recording(KVD::com_cast(document));
    AutoBool readOnly = kAutoTrue;
    int32_t count = 0;
    KVD::COMPtr<IKVDDeviceManager> manager;
    if (recording != nullptr && recording->IsReadOnly(0, &readOnly) == KVD_S_OK && readOnly == kAutoFalse &&
        recording->GetDeviceCount(0, &count) == KVD_S_OK && count > 0)
        recording->GetDeviceManager(manager.Set());
    return manager;
}

bool ReadSetting(const ISettingsRegistrar& registrar, TCAFId id, uint32_t& value)
{
    const SRKey key(id, nullptr);
    uint32_t size = 0;
    uint32_t read = 0;
    if (key.GetKey() == nullptr || registrar.GetValue(key.GetKey(), &read, uint32_t(sizeof read), &size) != KVD_S_OK ||
        size != sizeof read)
        return false;
    value = read;
    return true;
}

}  // namespace

PreviewPaneBase::~PreviewPaneBase()
{
    mTraceViewCallback = nullptr;
    if (mPane != nullptr && mView != nullptr && mView->PreviewPane() == mPane.get())
        mView->SetPreviewPane(nullptr);
    mManager = nullptr;
    mRecordData = nullptr;
    mPane = nullptr;
}

void PreviewPaneBase::Init(IOrrelData2* data, OrrelDraw::SPIRO_DataPaneView* view, IKVDDeviceManager* manager,
                           uint32_t paneFlags, DragScaleStyle style)
{
    mData = data;
    mWindowStart = 0;
    mChannelCount = 0;
    mGraticuleFlag = true;
    mView = view;
    if (KVD::COMPtr<IRecordDataServices> services{KVD::com_cast(data)}) {
        KVD::COMPtr<IRecordData> records;
        if (services->GetRecordData(kDocumentRecordData, records.Set()) == KVD_S_OK)
            mRecordData = records;
    }
    if (view != nullptr) {
        KVD::COMPtr<OrrelDraw::PreviewWinPane> pane(new OrrelDraw::PreviewWinPane(
            view, mRecordData.get(), 10, paneFlags, style, 0, kPreviewMiscFlags));
        if (mPane != nullptr && view->PreviewPane() == mPane.get())
            view->SetPreviewPane(nullptr);
        mPane = pane;
        view->SetPreviewPane(mPane.get());
    }
    if (manager != nullptr) {
        mManager = manager;
        mManager->SetUp(0, kPreviewMiscFlags);
        if (mPane != nullptr)
            mPane->SetDeviceManager(0, manager);
    }
    mChannelCount = kMinChannels;
    mReady = true;
    InitTraceView(kAllTraceViewModes, [this](unsigned on) { PreprocessorDrawerFilter(on != 0); });
}

void PreviewPaneBase::Init(IAutoOrrelDoc* document, IOrrelData2* data, OrrelDraw::SPIRO_DataPaneView* view,
                           uint32_t paneFlags, DragScaleStyle style)
{
    mDocument = document;
    Init(data, view, RecordingDevice(document).get(), paneFlags, style);
    int32_t mode = 0;
    if (mPane != nullptr && document != nullptr && document->GetTimeDisplayMode(&mode) == KVD_S_OK)
        mPane->SetTimeDisplayMode(TimeDisplayMode(mode));
    SetGraticuleStyles();
}

void PreviewPaneBase::SetGraticuleStyles()
{
    mGraticuleFlag = true;
    KVD::COMPtr<IUnknown> unknown;
    if (mDocument == nullptr || mDocument->GetSettingsRegistrar(unknown.Set()) != KVD_S_OK)
        return;
    const KVD::COMPtr<ISettingsRegistrar> registrar(KVD::com_cast(unknown.get()));
    if (registrar == nullptr)
        return;
    uint32_t value = 0;
    if (ReadSetting(*registrar, kGraticuleColourKey, value)) {
        const uint32_t rgb = OrrelColours::GetGraticuleColour(nullptr, static_cast<unsigned short>(value));
        auto widen = [](uint32_t component) { return uint16_t((component & 0xFF) * 65535u / 255u); };
        mGraticuleColour = TColor(widen(rgb), widen(rgb >> 8), widen(rgb >> 16), 1.0f);
    }
    if (ReadSetting(*registrar, kGraticuleStyleKey, value))
        mGraticuleStyle = value;
    if (ReadSetting(*registrar, kGraticuleFlagKey, value))
        mGraticuleFlag = value != 0;
}

void PreviewPaneBase::SetupWindowR(int record, int)
{
    mWindowStart = 0;
    if (mData != nullptr)
        mData->GetRecordWindowStart(KVDPosition{0, record}, &mWindowStart);
}

void PreviewPaneBase::SetPosition(KVDPosition left, double ticksPerPixel)
{
    if (mPane == nullptr)
        return;
    int numerator = 1, denominator = 1;
    KVD::DoubleToRational(ticksPerPixel, numerator, denominator);
    mPane->OnZoomX(OrrelDraw::TicksPerPix(numerator, denominator), nullptr, false);
    mPane->SetLeftEdgePosition(left);
}

void PreviewPaneBase::EnableOnline(bool on)
{
    if (mPane != nullptr)
        mPane->SetDeviceManager(0, on ? mManager.get() : nullptr);
}

ChannelYDataRange PreviewPaneBase::GetY(ESide side) const
{
    ChannelYDataRange range{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    if (mPane != nullptr && mPane->GetDragScaleRangeInUnits(0, 0, ScaleOf(side), &range.top, &range.bottom) != KVD_S_OK)
        range = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    return range;
}

void PreviewPaneBase::SetY(ESide side, ChannelYDataRange range)
{
    if (mPane == nullptr)
        return;
    mPane->SetRange(0, 0, ScaleOf(side), range);
    mPane->SetDefaultRange(0, 0, ScaleOf(side), range);
}

void PreviewPaneBase::AutoScaleY(ESide side, ChannelYDataRange* range)
{
    if (mPane == nullptr)
        return;
    bool has = false;
    if (mPane->GetHasData(0, ScaleOf(side), &has) == KVD_S_OK && has)
        mPane->AutoScale(0, 0, ScaleOf(side));
    else if (range != nullptr)
        SetY(side, *range);
    if (range != nullptr)
        mPane->SetDefaultRange(0, 0, ScaleOf(side), *range);
}

void PreviewPaneBase::LockDragScaleUnitsPrefix(ESide side, UnitPrefix prefix)
{
    if (mPane == nullptr)
        return;
    KVD::COMPtr<IScale> scale;
    if (mPane->GetDragScale(0, 0, ScaleOf(side), scale.Set()) != KVD_S_OK)
        return;
    if (scale == nullptr)
        return;
    mPane->LockDragScaleUnitPrefix(0, 0, ScaleOf(side), prefix);
}

void PreviewPaneBase::InitTraceView(int offered, std::function<void(unsigned)> callback)
{
    mTraceViewModes = offered;
    mTraceViewCallback = std::move(callback);
}

void PreviewPaneBase::ChangeTraceViewMode(int mode, unsigned flags)
{
    if (mPane != nullptr)
        OrrelDraw::ApplyTraceViewMode(*mPane, mode, flags, mTraceViewCallback);
}

void PreviewPaneBase::PreprocessorDrawerFilter(bool on)
{
    mPreprocessorFilter = on;
    Recreate(true);
}

}  // namespace ExtLib
