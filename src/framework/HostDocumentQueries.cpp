#include "framework/HostDocumentQueries.h"

#include <cmath>

#include "FrameworkIds.h"
#include "foundation/DynamicId.h"

namespace CMShared {

KVD::COMPtr<ICMDoc> GetICMDoc(IAutoOrrelDoc* doc)
{
    KVD::COMPtr<IDocument> document(KVD::com_cast(doc));
    if (document == nullptr)
        return nullptr;
    KVD::COMPtr<IUnknown> part;
    document->GetChildObject(TypeIdClass<&CMDocumentGUID, 0>::GetId(), 0, part.Set());
    return KVD::COMPtr<ICMDoc>(KVD::com_cast(part.get()));
}

}  // namespace CMShared

namespace OrrelClient {
namespace {

constexpr double kZoomSteps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
constexpr double kLargestZoom = 2000;
constexpr double kPixels = 400.0;

const KVDPosition kNoPosition{kNoPositionTick, kNoPositionRecord};

bool Same(const KVDPosition& a, const KVDPosition& b)
{
    return a.tick == b.tick && a.record == b.record;
}

KVD::COMPtr<IOrrelView> DataView(IAutoOrrelDoc* doc)
{
    KVD::COMPtr<IDocument, KVD::COMWeak> document(KVD::com_cast(doc));
    if (document == nullptr)
        return nullptr;
    KVD::COMPtr<IUnknown> view;
    document->GetChildView(TypeIdClass<&GUID_OrrelObjects, kOrrelObject_DataView>::GetId(), view.Set());
    return KVD::COMPtr<IOrrelView>(KVD::com_cast(view.get()));
}

bool SelectedRange(IAutoOrrelDoc* doc, KVDPosition& left, KVDPosition& right)
{
    KVD::COMPtr<IRecordDataSelection> selection;
    const HRESULT hr = doc->GetSelection(0, selection.Set());
    if (hr != KVD_S_OK || selection == nullptr)
        return false;
    AutoBool has = kAutoFalse;
    selection->HasSelection(&has);
    return has != kAutoFalse && selection->GetRange(&left, &right) == KVD_S_OK;
}

}  // namespace

double ZoomForTicks(int64_t ticks)
{
    const double wanted = static_cast<double>(ticks) / kPixels;
    for (double step : kZoomSteps)
        if (step >= wanted)
            return step;
    return kLargestZoom;
}

void gGetViewDataDisplayInfo(IAutoOrrelDoc* doc, int& record, KVDPosition& left, KVDPosition& right, double& zoom)
{
    if (doc == nullptr)
        return;
    KVD::COMPtr<IRecordData> records;
    doc->GetRecordData(0, records.Set());
    const KVD::COMPtr<IOrrelView> view = DataView(doc);
    left = right = kNoPosition;
    const bool fromSelection = SelectedRange(doc, left, right);
    if (!fromSelection && view != nullptr)
        view->GetDisplayedRange(&left, &right);
    if (records != nullptr) {
        AutoBool valid = kAutoFalse;
        records->IsValidRange(left, right, &valid);
        if (valid == kAutoFalse) {
            left = KVDPosition{0, 0};
            records->GetRecordEnd(0, &right);
        }
    }
    record = left.record;
    if (fromSelection && !Same(left, right) && records != nullptr) {
        int64_t first = 0, last = 0;
        records->GetAbsoluteTick(left, &first);
        records->GetAbsoluteTick(right, &last);
        zoom = ZoomForTicks(last - first);
    } else if (view != nullptr) {
        view->GetZoom(&zoom);
    } else {
        zoom = 1.0;
    }
}

}  // namespace OrrelClient

namespace OrrelDraw {
namespace {

uint16_t Widen(uint32_t component)
{
    return static_cast<uint16_t>(std::trunc(component / 255.0 * 65535.0));
}

}  // namespace

TColor GetGraticuleColour(const IChannelDisplaySettings2* settings)
{
    KVD::COMPtr<IKVDOrrelDisplaySettings> display(KVD::com_cast(settings));
    uint32_t rgb = 0;
    if (display == nullptr || display->GetColour(0, 0, &rgb, 0) != KVD_S_OK)
        return TColor(65535, 65535, 65535, 1.0f);
    return TColor(Widen(rgb & 0xFF), Widen(rgb >> 8 & 0xFF), Widen(rgb >> 16 & 0xFF), 1.0f);
}

}  // namespace OrrelDraw
