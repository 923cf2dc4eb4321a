#include "trace/EventDrawer.h"

#include <cmath>

#include "IFramework.h"
#include "foundation/ClassObjectAccessor.h"
#include "trace/DrawUtils.h"

namespace OrrelDraw {
namespace {

constexpr double kNoLimit = 2147483647.0;
constexpr int kMarkerSize = 8;

}  // namespace

EventDrawer::EventDrawer(BlockDataType type, TChannelId channel) : DrawerBase(kLayerValue, type, channel, kNoChannel)
{
}

EventDrawer::EventDrawer(const EventDrawer& other)
    : DrawerBase(other),
      mLastEventX(other.mLastEventX),
      mLastPosition(other.mLastPosition),
      mScopePixMap(other.mScopePixMap),
      mStream(nullptr),
      mRangeStart(other.mRangeStart),
      mRangeEnd(other.mRangeEnd),
      mDrawClass(other.mDrawClass),
      mDrawClassId(other.mDrawClassId)
{
    if (other.mEvents != nullptr) {
        mEvents = std::make_unique<EventIterator>(*other.mEvents);
        mStream = other.mStream;
    }
}

HRESULT EventDrawer::SetRecordDataPixMap(unsigned int number, IRecordDataPixMap* map)
{
    const HRESULT hr = DrawerBase::SetRecordDataPixMap(number, map);
    mScopePixMap = KVD::com_cast(map);
    ReleaseEnums(0);
    return hr;
}

HRESULT EventDrawer::GetInfo(unsigned int, unsigned int* flags, int* left, int* right, TDC*) const
{
    if (flags != nullptr)
        *flags = DrawerInfo::kMarker;
    if (left != nullptr)
        *left = 10;
    if (right != nullptr)
        *right = 10;
    return KVD_S_OK;
}

HRESULT EventDrawer::GetUnitsName(long, int, IAutoKVDString** name, AutoBool*) const
{
    if (name != nullptr)
        *name = nullptr;
    return KVD_S_FALSE;
}

HRESULT EventDrawer::GetUnitsConversion(int, IUnitsConversion** units) const
{
    if (units != nullptr)
        *units = nullptr;
    return KVD_S_FALSE;
}

HRESULT EventDrawer::OnScalingChanged(long, unsigned int, const DataScaling*, IScale*)
{
    return KVD_S_OK;
}

HRESULT EventDrawer::Revert(TOrrelDrawNeedsUpdateFlags)
{
    mLastEventX = -1.0;
    return KVD_S_OK;
}

HRESULT EventDrawer::OnRecordStart(unsigned int record, AutoBool online)
{
    mLastPosition = -1;
    return DrawerBase::OnRecordStart(record, online != kAutoFalse ? kAutoTrue : kAutoFalse);
}

HRESULT EventDrawer::Update(long long, long long, long long* latest)
{
    if (mStream == nullptr)
        return KVD_S_FALSE;
    if (latest != nullptr)
        *latest = mLastPosition;
    return KVD_S_OK;
}

HRESULT EventDrawer::OnRecordEnd(unsigned int record, BlockUpdateType* update)
{
    DrawerBase::OnRecordEnd(record, update);
    return ReleaseEnums(0);
}

HRESULT EventDrawer::GetRange(BlockDataType, long, KVDPosition, KVDPosition, ChannelYDataRange*) const
{
    return KVD_S_FALSE;
}

HRESULT EventDrawer::ReleaseEnums(unsigned int)
{
    mEvents.reset();
    mStream.Clear();
    return KVD_S_OK;
}

HRESULT EventDrawer::Clone(OrrelDrawerFlags, IOrrelRecordDrawer** out) const
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = KVD::MakeCounted<EventDrawer>(*this).Forget();
    return KVD_S_OK;
}

bool EventDrawer::FindIndexRange(long long start, long long end, const TPixPosition& pix, int32_t& first,
                                 double& limit)
{
    limit = kNoLimit;
    if (mScopePixMap != nullptr) {
        int64_t endColumn = 0;
        double position = 0;
        if (mScopePixMap->GetColumnRange(pix.record, start, end, &endColumn, &position) != KVD_S_OK)
            return false;
        first = std::max(int32_t(position), 0);
        return true;
    }
    if (mPixMap == nullptr)
        return false;
    int32_t record = 0;
    double tick = 0;
    mPixMap->ColumnToPosition(kPixMapStartColumn, double(start), &record, &tick);
    if (record > pix.record)
        return false;
    first = record < pix.record ? 0 : std::max(int32_t(tick), 0);
    mPixMap->ColumnToPosition(kPixMapEndColumn, double(end), &record, &tick);
    if (record < pix.record)
        return false;
    if (record == pix.record)
        limit = tick;
    return true;
}

bool EventDrawer::CreateStream(int32_t record)
{
    if (mRecordData == nullptr)
        return false;
    const uint32_t flags = ((mBlockDataType & ~0x800000FFu) | mChannel.blockDataType) | 0x80000000u;
    mRecordData->GetEventStream(TChannelId{mChannel.channel, flags}, 0x40000000, KVDPosition{0, record}, 0x7FFFFFFF,
                                mStream.Set());
    if (mStream == nullptr)
        return false;
    mEvents = std::make_unique<EventIterator>(mStream);
    return true;
}

void EventDrawer::FollowDrawClass()
{
    TCAFId id = 0;
    mStream->GetTypeofEvents(&id);
    if (id == mDrawClassId)
        return;
    mDrawClass.Clear();
    if (id != 0)
        if (IObjectFactory* factory = ObjectFactoryAccessor::Get())
            factory->GetClassObject(id, IID_IPODEventDrawClass, mDrawClass.Set());
    mDrawClassId = id;
}

void EventDrawer::PositionStream(int32_t first, double limit)
{
    const int32_t current = mEvents->GetPosition();
    if (current <= first) {
        mRangeEnd = int32_t(std::min(limit, kNoLimit));
        mStream->Find(0, first, -1, mRangeEnd);
    } else {
        mRangeEnd = 0x7FFFFFFF;
        mStream->Find(1, first, 0, 0x7FFFFFFF);
    }
    mRangeStart = first;
    mEvents->SetRange(first, mRangeEnd);
}

void EventDrawer::DrawMarker(TDC& dc, int xi, const KVDEventBase& event, const TPen& dotted, const TPen& solid)
{
    const int top = GetDCTop();
    dc.SaveDC();
    dc.SelectObject(dotted);
    dc.MoveTo(xi, top);
    dc.LineTo(xi, GetDCHeight());
    const double scaling = dc.GetScalingFactor();
    dc.RestoreDC();

    TRect marker(xi - kMarkerSize / 2, top, xi + kMarkerSize / 2, top + kMarkerSize);
    if (scaling > 1.0 && std::isfinite(scaling)) {
        const int size = int(scaling * 8.0 + 0.5);
        marker = TRect(xi - size / 2, top + 4, xi - size / 2 + size, top + 4 + size);
    }
    uint32_t rgb = 0xFFFFFF;
    if (mDrawClass != nullptr)
        mDrawClass->GetEventColour(reinterpret_cast<const uint8_t*>(&event), &rgb);
    TColor fill = AdjustColorForBackground(ColourFromRgb(rgb));
    fill.alpha = 0.8f;
    dc.SaveDC();
    dc.SaveDC();
    dc.SelectObject(solid);
    dc.SelectObject(TBrush(fill));
    dc.Ellipse(marker.left, marker.top, marker.right, marker.bottom);
    dc.RestoreDC();
    dc.RestoreDC();
}

HRESULT EventDrawer::DrawInRecord(TDC& dc, long long start, long long end, TPixPosition pix, int x, const tagRECT*,
                                  OrrelDrawerDrawFlags flags, const GraticuleInfo*, const KVDDataTimeInfo*)
{
    if (flags & DrawFlag::kFreshStart)
        ReleaseEnums(0);
    mRangeStart = mRangeEnd = 0x7FFFFFFF;
    int32_t first = 0;
    double limit = kNoLimit;
    if (!FindIndexRange(start, end, pix, first, limit) || (mStream == nullptr && !CreateStream(pix.record))) {
        if (!(flags & DrawFlag::kOnline))
            ReleaseEnums(0);
        return KVD_S_OK;
    }
    FollowDrawClass();
    PositionStream(first, limit);
    if (limit < kNoLimit)
        limit += 1.0;

    TColor grey = AdjustColorForBackground(ColourFromRgb(0x404040));
    grey.alpha = 0.8f;
    TColor black = AdjustColorForBackground(TColor::Black);
    black.alpha = 0.8f;
    const TPen dotted(grey, 1, kPenDot);
    const TPen solid(black, 1, kPenSolid);

    Gfx::Context* context = dc.GetGContext();
    if (context != nullptr) {
        context->SaveState();
        context->Translate(0.5, 0.5);
        context->SetShouldAntialias(true);
    }
    while (const KVDEventBase* event = mEvents->Next()) {
        if (!std::isfinite(event->value))
            continue;
        mLastEventX = -1.0;
        const double tick = double(event->tick) + double(event->fraction);
        if (mPixMap != nullptr)
            mPixMap->PositionToColumn(kPixMapCurrentRecord, pix.record, tick, &mLastEventX);
        const double ex = mLastEventX;
        if (pix.record == mSamplingRecord)
            mLastPosition = int64_t(ex + 1.0);
        if (ex < double(start))
            continue;
        if (ex >= double(end))
            break;
        const int xi = int(std::floor(ex + 0.5)) - int(start) + x;
        DrawMarker(dc, xi, *event, dotted, solid);
    }
    if (context != nullptr) {
        context->SetShouldAntialias(false);
        context->RestoreState();
    }
    if (!(flags & DrawFlag::kOnline))
        ReleaseEnums(0);
    return KVD_S_OK;
}

}  // namespace OrrelDraw
