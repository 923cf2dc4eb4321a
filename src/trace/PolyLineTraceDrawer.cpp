#include "trace/PolyLineTraceDrawer.h"

#include <algorithm>
#include <cmath>

#include "IDisplaySettings.h"
#include "IScale.h"
#include "IUnitName.h"
#include "IUnitsConversion.h"
#include "foundation/draw/Colour.h"
#include "trace/DrawUtils.h"
#include "trace/OrrelColours.h"

namespace OrrelDraw {

int gPolyCounts[128];

static_assert(sizeof(PolyLinePoint) == sizeof(TPoint), "enumerator points are drawn as they come");

namespace {

void FillPolyCounts()
{
    static const bool filled = [] {
        std::fill(std::begin(gPolyCounts), std::end(gPolyCounts), 2);
        return true;
    }();
    (void)filled;
}

}  // namespace

PolyLineTraceDrawer::PolyLineTraceDrawer(BlockDataType type, TChannelId channel, long scaleId, const TColor* colour,
                                         TChannelId userChannel, PolyLineType lineType, int layer, long penWidth)
    : DrawerBase(layer, type, channel, userChannel),
      mPolyLineType(lineType),
      mColour(colour != nullptr ? *colour : OrrelColours::ChannelColour(channel.channel)),
      mScaleId(scaleId),
      mPenWidth(int(penWidth))
{
    FillPolyCounts();
}

// A copy draws the same channel the same way but starts without scaling, enumerator or maps.
PolyLineTraceDrawer::PolyLineTraceDrawer(const PolyLineTraceDrawer& other)
    : DrawerBase(other),
      mPolyLineType(other.mPolyLineType),
      mColour(other.mColour),
      mScaleId(other.mScaleId),
      mPenWidth(other.mPenWidth)
{
}

uint32_t PolyLineTraceDrawer::EnumRequestFlags() const
{
    const uint32_t type = mScalingMode != 0 ? mBlockDataType & 0x7DFFCF00u : mBlockDataType;
    return (type & 0x7DFFFF00u) | (mChannel.blockDataType & 0x7DFFFFFFu) | 0x02000000u;
}

uint32_t PolyLineTraceDrawer::RangeRequestFlags(BlockDataType type) const
{
    const uint32_t own = mScalingMode != 0 ? mBlockDataType & 0x7DFFCE00u : mBlockDataType;
    return ((own | type) & 0x7DFFFE00u) | mChannel.blockDataType | 0x82000100u;
}

HRESULT PolyLineTraceDrawer::SetRecordDataPixMap(unsigned int number, IRecordDataPixMap* map)
{
    const HRESULT hr = DrawerBase::SetRecordDataPixMap(number, map);
    mScopePixMap = KVD::com_cast(map);
    mEnumerator.Clear();
    mTickOffset = 0;
    return hr;
}

HRESULT PolyLineTraceDrawer::GetInfo(unsigned int, unsigned int* flags, int* left, int* right, TDC*) const
{
    if (flags != nullptr)
        *flags = DrawerInfo::kMarker | DrawerInfo::kNeedsClip;
    if (left != nullptr)
        *left = 1;
    if (right != nullptr)
        *right = 0;
    return KVD_S_OK;
}

HRESULT PolyLineTraceDrawer::ChannelUnitsName(TChannelId channel, IAutoKVDString** name) const
{
    KVD::COMPtr<IUnitName> unit;
    if (mRecordData != nullptr)
        mRecordData->GetChannelUnitName(GetUnitsContext().block, channel, unit.Set());
    if (unit == nullptr)
        return KVD_S_FALSE;
    return unit->GetName(kAutoTrue, name);
}

HRESULT PolyLineTraceDrawer::GetUnitsName(long scaleId, int, IAutoKVDString** name, AutoBool* hasUnits) const
{
    if (name != nullptr)
        *name = nullptr;
    if (mChannel.channel < 0 || scaleId != mScaleId || name == nullptr)
        return KVD_S_FALSE;
    const TChannelId request{mChannel.channel, UnitsRequestFlags(mBlockDataType, mChannel)};
    const HRESULT hr = ChannelUnitsName(request, name);
    if (hasUnits != nullptr)
        *hasUnits = hr == KVD_S_OK && *name != nullptr ? kAutoTrue : kAutoFalse;
    return hr;
}

HRESULT PolyLineTraceDrawer::OnScalingChanged(long scaleId, unsigned int, const DataScaling* scaling, IScale*)
{
    if (scaleId != mScaleId || scaling == nullptr)
        return KVD_S_FALSE;
    mScaling = *scaling;
    mEnumerator.Clear();
    return KVD_S_OK;
}

HRESULT PolyLineTraceDrawer::Revert(TOrrelDrawNeedsUpdateFlags)
{
    if (mStarted) {
        if (mPixMap != nullptr)
            mPixMap->GetRecordStartOffset(mSamplingRecord, &mTickOffset);
        mEnumerator.Clear();
    }
    return KVD_S_OK;
}

bool PolyLineTraceDrawer::CreateEnumerator(const TPixPosition& pix, bool limited)
{
    mEnumerator.Clear();
    if (mRecordData == nullptr || mPixMap == nullptr)
        return false;
    int64_t pair[2] = {0, 1};
    if (mPixMap->GetPolyLinePair(pix.record, pair) != KVD_S_OK)
        return false;
    mRecordData->CreatePolyLineEnum(EnumRequestFlags(), mChannel.channel, pair, 0x7FFFFFFFFFFFFFFF,
                                    limited ? 0 : pix.pixel, pix.record, &mScaling, mPolyLineType,
                                    mEnumerator.Set());
    return mEnumerator != nullptr;
}

HRESULT PolyLineTraceDrawer::DrawInRecord(TDC& dc, long long start, long long end, TPixPosition pix, int x,
                                          const tagRECT* clip, OrrelDrawerDrawFlags flags, const GraticuleInfo*,
                                          const KVDDataTimeInfo* time)
{
    KVD::TDCRestorer restorer(&dc);
    restorer.Save();
    mPixelsDrawn = 0;
    if (flags & DrawFlag::kFreshStart)
        mEnumerator.Clear();

    // Continuing online: the kept enumerator moves on to the start.
    if (mEnumerator != nullptr && mScopePixMap == nullptr) {
        int64_t position = 0;
        mEnumerator->GetPosition(&position);
        int64_t d = start - position - mTickOffset;
        bool keep = true;
        if (d == -1) {
            ++start;
            ++x;
        } else if (d != 0) {
            int64_t skipped = 0;
            mEnumerator->Skip(d, &skipped);
            keep = skipped == d;
        }
        if (keep) {
            mPixelsDrawn = DrawPixInRec(dc, int(end - start), x, 0, pix.record) + x;
            if (!(flags & DrawFlag::kOnline))
                mEnumerator.Clear();
            return KVD_S_OK;
        }
        mEnumerator.Clear();
    }

    // A range that starts before the record draws from the record's start.
    if (pix.pixel < 0) {
        const int64_t before = -pix.pixel;
        pix.pixel = 0;
        start += before;
        if (start >= end)
            return KVD_S_OK;
        x += int(before);
        TRect narrowed = clip != nullptr ? *clip : TRect(x, mPosition.top, x + int(end - start), mPosition.bottom);
        narrowed.left = x;
        dc.IntersectClipRect(narrowed);
    }

    int32_t validFirst = -1, validLast = -1;
    if (mScopePixMap != nullptr)
        mScopePixMap->GetValidRange(pix.record, &validFirst, &validLast);
    const bool limited = validFirst != -1 || validLast != -1;
    if (!(mEnumerator != nullptr && !limited) && !CreateEnumerator(pix, limited))
        return KVD_S_OK;

    int64_t n = end - start;
    TraceDrawFlags traceFlags = 0;
    if (mScopePixMap != nullptr) {
        mScopePixMap->GetTraceDrawFlags(pix.record, &traceFlags);
        if ((traceFlags & 0xFF) == 3 && !CanDrawOverlay())
            return KVD_S_OK;
        long long delta = 0;
        AdjustRecordVPixelForTrace(&pix, &delta);
        pix.pixel += delta;
        int32_t whole = 0;
        float fraction = 0;
        double divisor = 1.0;
        mScopePixMap->GetRecordTimeOffset(pix.record, &whole, &fraction, &divisor);
        int64_t endColumn = 0;
        double position = 0;
        mScopePixMap->GetColumnRange(pix.record, start, end, &endColumn, &position);
        if (!limited) {
            const double timeValue = time != nullptr && divisor != 0.0 ? time->t[0] / divisor : 0.0;
            int64_t first = 0;
            mEnumerator->FindFirstColumn(double(whole) + fraction - timeValue, int64_t(position + 1.0), &first);
            const int64_t k = std::max<int64_t>(first, 0) - pix.pixel;
            if (k > 0) {
                n -= k;
                int64_t skipped = 0;
                mEnumerator->Skip(k, &skipped);
                if (skipped != k)
                    n = 0;
                x += int(k);
            }
        }
    }
    if (n > 0) {
        OnBeforeDrawTracePixels(dc, pix);
        mPixelsDrawn = DrawPixInRec(dc, int(n), x, traceFlags, pix.record) + x;
        OnAfterDrawTracePixels(dc);
    }
    if (!(flags & DrawFlag::kOnline))
        mEnumerator.Clear();
    return KVD_S_OK;
}

int PolyLineTraceDrawer::DrawPixInRec(TDC& dc, int n, int x, TraceDrawFlags traceFlags, int record)
{
    bool hiRes = false;
    int width = 1;
    if (mDataPane != nullptr && mDataPane->AreDrawingHiRes(0, &hiRes) == KVD_S_OK && hiRes)
        width = int(mPenWidth * GetAnyReferenceDCPixelRatioY());
    TColor colour = mColour;
    if (mScopePixMap != nullptr) {
        if ((traceFlags & 0xFF) == 2) {
            colour = mPolyLineType == 1 ? KVD::AdjustColour(TColor::Black, 5.0 / 18.0, 240.0) : TColor::Black;
            colour = AdjustColorForBackground(colour);
        } else if ((traceFlags & 0xFF) == 3) {
            colour = GetOverlayTraceColor(record, colour);
        }
    }
    dc.SaveDC();
    dc.SelectObject(TPen(colour, width, kPenSolid));
    PolyLinePoint points[kPolyLineMaxPoints] = {};
    int remaining = n;
    while (remaining > 0 && mEnumerator != nullptr) {
        uint32_t produced = 0;
        int64_t consumed = 0;
        mEnumerator->Next(remaining, x, kPolyLineMaxPoints, points, &produced, &consumed);
        if (produced > 0)
            dc.PolyPolyline(reinterpret_cast<const TPoint*>(points), gPolyCounts, int(produced / 2));
        x += int(consumed);
        remaining -= int(consumed);
        if (produced < kPolyLineMaxPoints || consumed == 0)
            break;
    }
    dc.RestoreDC();
    return n - remaining;
}

HRESULT PolyLineTraceDrawer::Update(long long, long long, long long* latest)
{
    if (mEnumerator == nullptr) {
        if (latest != nullptr)
            *latest = mTickOffset;
        return KVD_S_FALSE;
    }
    int64_t position = 0;
    mEnumerator->GetLatestPosition(&position);
    if (latest != nullptr)
        *latest = position + mTickOffset;
    return KVD_S_OK;
}

HRESULT PolyLineTraceDrawer::OnRecordEnd(unsigned int record, BlockUpdateType* update)
{
    DrawerBase::OnRecordEnd(record, update);
    return ReleaseEnums(0);
}

HRESULT PolyLineTraceDrawer::GetRange(BlockDataType type, long, KVDPosition from, KVDPosition to,
                                      ChannelYDataRange* range) const
{
    if (range == nullptr)
        return KVD_E_POINTER;
    if (mRecordData == nullptr || mChannel.channel < 0)
        return KVD_S_FALSE;
    double maximum = 0, minimum = 0;
    const HRESULT hr =
        mRecordData->GetRange(TChannelId{mChannel.channel, RangeRequestFlags(type)}, from, to, &maximum, &minimum);
    if (hr == KVD_S_OK)
        *range = ChannelYDataRange{maximum, minimum};
    return hr;
}

HRESULT PolyLineTraceDrawer::GetScaleId(long* scaleId) const
{
    if (scaleId == nullptr)
        return KVD_E_POINTER;
    *scaleId = mScaleId;
    return KVD_S_OK;
}

HRESULT PolyLineTraceDrawer::ReleaseEnums(unsigned int)
{
    mEnumerator.Clear();
    return KVD_S_OK;
}

HRESULT PolyLineTraceDrawer::OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source,
                                                  int channel)
{
    const bool virtualChannel = mChannel.blockDataType == 4 && uint32_t(mUserChannel.channel) != 0x80000000u;
    const int32_t own = virtualChannel ? mUserChannel.channel : mChannel.channel;
    if (settings != nullptr && (channel == -1 || channel == own)) {
        uint32_t type = mPolyLineType;
        if (settings->GetPolyLineType(own, &type) == KVD_S_OK)
            mPolyLineType = type;
        uint32_t rgb = 0;
        if (settings->GetChannelTraceColour(own, &rgb) == KVD_S_OK)
            mColour = ColourFromRgb(rgb);
        int32_t width = mPenWidth;
        if (settings->GetPenWidth(own, &width) == KVD_S_OK)
            mPenWidth = width;
        ReleaseEnums(0);
    }
    return DrawerBase::OnDisplayInfoChanged(settings, source, channel);
}

HRESULT PolyLineTraceDrawer::GetPrefixedUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits,
                                                  DataScaling* scaling, DataMaxMin* maxMin, double* factor) const
{
    const HRESULT hr = GetUnitsName(scaleId, side, name, hasUnits);
    if (hr != KVD_S_OK || (scaling == nullptr && maxMin == nullptr))
        return hr;
    KVD::COMPtr<IUnitsConversion> units;
    GetUnitsConversion(GetUnitsContext().block, units.Set());
    if (units == nullptr)
        return hr;
    const uint32_t request = UnitsRequestFlags(mBlockDataType, mChannel);
    double scale = 1.0, offset = 0.0;
    if (units->GetScaling(mScalingMode != 0 ? request : 0, &scale, &offset) == KVD_S_OK && scaling != nullptr)
        *scaling = DataScaling{scale, offset};
    if (factor != nullptr)
        *factor = scale;
    double top = 0.0, bottom = 0.0;
    if (maxMin != nullptr && units->GetRange(request, &top, &bottom) == KVD_S_OK)
        *maxMin = DataMaxMin{top, bottom};
    return hr;
}

HRESULT PolyLineTraceDrawer::Clone(OrrelDrawerFlags, IOrrelRecordDrawer** out) const
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = KVD::MakeCounted<PolyLineTraceDrawer>(*this).Forget();
    return KVD_S_OK;
}

void PolyLineTraceDrawer::OnBeforeDrawTracePixels(TDC&, TPixPosition) {}

void PolyLineTraceDrawer::OnAfterDrawTracePixels(TDC&) {}

void PolyLineTraceDrawer::AdjustRecordVPixelForTrace(TPixPosition*, long long*) {}

TColor PolyLineTraceDrawer::GetOverlayTraceColor(int, TColor colour) const
{
    return colour;
}

bool PolyLineTraceDrawer::CanDrawOverlay() const
{
    return false;
}

}  // namespace OrrelDraw
