#include "host/drawing/RecordPixMap.h"

#include <algorithm>
#include <cmath>

namespace Host {

int64_t FirstTickOfColumn(int64_t column, int64_t numerator, int64_t denominator)
{
    const __int128 product = __int128(column) * numerator;
    __int128 quotient = product / denominator;
    if (product % denominator != 0 && product > 0)
        ++quotient;
    return int64_t(quotient);
}

int64_t ColumnsFor(uint32_t ticks, int64_t numerator, int64_t denominator)
{
    const __int128 product = __int128(ticks) * denominator;
    return int64_t((product + numerator - 1) / numerator);
}

RecordPixMap* RecordPixMap::Create(IRecordData* records)
{
    return KVD::MakeCounted<RecordPixMap>(records).Forget();
}

RecordPixMap::RecordPixMap(IRecordData* records) : mRecords(records)
{
    Layout();
}

void RecordPixMap::Layout()
{
    mSpans.clear();
    int count = 0;
    if (mRecords == nullptr || mRecords->GetRecordCount(&count) != KVD_S_OK)
        return;
    const int64_t gap = HeaderGap();
    int64_t lead = 0;
    for (int r = 0; r < count; ++r) {
        uint32_t ticks = 0;
        mRecords->GetRecordTicks(r, &ticks);
        const int64_t first = r == 0 ? lead : lead + gap;
        const int64_t end = first + ColumnsFor(ticks, mNumerator, mDenominator);
        mSpans.push_back({ticks, first, end});
        lead = end;
    }
}

int64_t RecordPixMap::HeaderGap() const
{
    if (mHeaderMode != kHeadersShown || !(mHeaderGap > 0.0))
        return 0;
    return int64_t(std::min(mHeaderGap, kMaxHeaderGap));
}

void RecordPixMap::Follow()
{
    int count = 0;
    uint32_t last = 0;
    if (mRecords == nullptr || mRecords->GetRecordCount(&count) != KVD_S_OK)
        return;
    if (count > 0)
        mRecords->GetRecordTicks(count - 1, &last);
    if (size_t(count) != mSpans.size() || (count > 0 && mSpans.back().ticks != last))
        Layout();
}

int32_t RecordPixMap::RecordAt(int64_t column) const
{
    if (mSpans.empty() || column < 0)
        return -1;
    const auto it = std::upper_bound(mSpans.begin(), mSpans.end(), column,
                                     [](int64_t c, const Span& s) { return c < s.end; });
    return int32_t(it - mSpans.begin());
}

HRESULT RecordPixMap::GetRecordData(IRecordData** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    mRecords.GetOut(out);
    return mRecords == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT RecordPixMap::SetTicksPerPixel(int64_t numerator, int64_t denominator)
{
    if (numerator <= 0 || denominator <= 0)
        return KVD_E_BADSTATE;
    if (numerator == mNumerator && denominator == mDenominator)
        return KVD_S_FALSE;
    mNumerator = numerator;
    mDenominator = denominator;
    Layout();
    mNeedsUpdate |= 0xFF000000;
    return KVD_S_OK;
}

HRESULT RecordPixMap::GetTicksPerPixel(int64_t* numerator, int64_t* denominator)
{
    if (numerator == nullptr || denominator == nullptr)
        return KVD_E_POINTER;
    *numerator = mNumerator;
    *denominator = mDenominator;
    return KVD_S_OK;
}

HRESULT RecordPixMap::GetTotalPixels(int64_t* pixels)
{
    Follow();
    if (pixels == nullptr)
        return KVD_E_POINTER;
    *pixels = mSpans.empty() ? 0 : mSpans.back().end;
    return KVD_S_OK;
}

HRESULT RecordPixMap::PixelToPosition(int64_t pixel, KVDPosition* position)
{
    Follow();
    if (position == nullptr)
        return KVD_E_POINTER;
    const int32_t record = RecordAt(pixel);
    if (!IsRecord(record))
        return KVD_S_FALSE;
    const Span& span = mSpans[size_t(record)];
    position->record = record;
    // A column of the header gap before a record is the record's start.
    const int64_t tick = FirstTickOfColumn(pixel - span.first, mNumerator, mDenominator);
    position->tick = uint32_t(std::clamp<int64_t>(tick, 0, span.ticks));
    return KVD_S_OK;
}

HRESULT RecordPixMap::GetRecordPixels(int32_t record, int64_t* first, int64_t* end)
{
    Follow();
    if (first == nullptr || end == nullptr)
        return KVD_E_POINTER;
    if (!IsRecord(record))
        return KVD_E_BADSTATE;
    *first = mSpans[size_t(record)].first;
    *end = mSpans[size_t(record)].end;
    return KVD_S_OK;
}

HRESULT RecordPixMap::GetRecordSecsPerTick(int32_t record, double* secs)
{
    if (secs == nullptr)
        return KVD_E_POINTER;
    return mRecords == nullptr ? KVD_E_BADSTATE : mRecords->GetSecsPerTick(record, secs);
}

HRESULT RecordPixMap::GetRecordStartOffset(int32_t record, int64_t* column)
{
    Follow();
    if (column == nullptr)
        return KVD_E_POINTER;
    if (!IsRecord(record))
        return KVD_E_BADSTATE;
    *column = mSpans[size_t(record)].first;
    return KVD_S_OK;
}

HRESULT RecordPixMap::GetPolyLinePair(int32_t record, int64_t* pair)
{
    if (pair == nullptr)
        return KVD_E_POINTER;
    if (!IsRecord(record))
        return KVD_E_BADSTATE;
    pair[0] = mNumerator;
    pair[1] = mDenominator;
    return KVD_S_OK;
}

HRESULT RecordPixMap::GetNeedsUpdate(uint32_t* bits)
{
    if (bits == nullptr)
        return KVD_E_POINTER;
    *bits = mNeedsUpdate;
    return KVD_S_OK;
}

HRESULT RecordPixMap::AcknowledgeNeedsUpdate(uint32_t bits)
{
    mNeedsUpdate &= ~bits;
    return KVD_S_OK;
}

HRESULT RecordPixMap::MarkNeedsUpdate(uint32_t bits)
{
    mNeedsUpdate |= bits;
    return KVD_S_OK;
}

// An end column is the column just past the range: it belongs to the record before it.
HRESULT RecordPixMap::ColumnToPosition(uint32_t request, double column, int32_t* record, double* tick)
{
    Follow();
    if (record == nullptr || tick == nullptr)
        return KVD_E_POINTER;
    const int64_t whole = request == kPixMapEndColumn ? int64_t(std::ceil(column)) - 1 : int64_t(std::floor(column));
    const int32_t r = RecordAt(whole);
    if (r < 0) {
        *record = 0;
        *tick = 0.0;
        return KVD_S_FALSE;
    }
    if (!IsRecord(r)) {
        *record = int32_t(mSpans.size());
        *tick = 0.0;
        return KVD_S_FALSE;
    }
    *record = r;
    *tick = (column - double(mSpans[size_t(r)].first)) * TicksPerPixel();
    return KVD_S_OK;
}

HRESULT RecordPixMap::PositionToColumn(uint32_t, int32_t record, double tick, double* column)
{
    Follow();
    if (column == nullptr)
        return KVD_E_POINTER;
    if (!IsRecord(record))
        return KVD_E_BADSTATE;
    *column = double(mSpans[size_t(record)].first) + tick * double(mDenominator) / double(mNumerator);
    return KVD_S_OK;
}

HRESULT RecordPixMap::GetRecordTiming(uint32_t request, int32_t record, int64_t column, double* seconds,
                                      double* secsPerPixel)
{
    Follow();
    if (seconds == nullptr || secsPerPixel == nullptr)
        return KVD_E_POINTER;
    double secsPerTick = 0.0;
    if (request != kPixMapColumnTime || !IsRecord(record) || GetRecordSecsPerTick(record, &secsPerTick) != KVD_S_OK)
        return KVD_E_BADSTATE;
    *secsPerPixel = TicksPerPixel() * secsPerTick;
    *seconds = double(column - mSpans[size_t(record)].first) * *secsPerPixel;
    return KVD_S_OK;
}

HRESULT RecordPixMap::SetLayoutParameter(uint32_t id, double value)
{
    switch (id) {
    case kPixMapMarkerSize: mMarkerSize = value; return KVD_S_OK;
    case kPixMapHeaderGap: return SetHeaderLayout(mHeaderGap, value);
    case kPixMapHeaderMode: return SetHeaderLayout(mHeaderMode, value);
    default: return KVD_E_BADSTATE;
    }
}

HRESULT RecordPixMap::SetHeaderLayout(double& field, double value)
{
    const int64_t before = HeaderGap();
    field = value;
    if (HeaderGap() != before) {
        Layout();
        mNeedsUpdate |= 0xFF000000;  // every column after the first record moved
    }
    return KVD_S_OK;
}

double RecordPixMap::LayoutParameter(uint32_t id) const
{
    return id == kPixMapMarkerSize ? mMarkerSize : id == kPixMapHeaderGap ? mHeaderGap : mHeaderMode;
}

HRESULT RecordPixMap::GetRecordDensity(double* pixels, double* records)
{
    Follow();
    if (pixels == nullptr || records == nullptr)
        return KVD_E_POINTER;
    *pixels = mSpans.empty() ? 0.0 : double(mSpans.back().end);
    *records = double(mSpans.size());
    return KVD_S_OK;
}

HRESULT RecordPixMap::SetRecordData(IRecordData* records)
{
    mRecords = records;
    Layout();
    mNeedsUpdate |= 0xFF000000;
    return KVD_S_OK;
}

HRESULT RecordPixMap::CanSample(IAutoKVDString** reason)
{
    if (reason != nullptr)
        *reason = nullptr;
    return KVD_S_OK;
}

HRESULT RecordPixMap::PrepareForSampling(uint32_t)
{
    Follow();
    return KVD_S_OK;
}

HRESULT RecordPixMap::OnRecordStart(uint32_t, AutoBool)
{
    Follow();
    return KVD_S_OK;
}

HRESULT RecordPixMap::Update(uint32_t)
{
    Follow();
    return KVD_S_OK;
}

HRESULT RecordPixMap::OnRecordEnd(uint32_t, BlockUpdateType*)
{
    Follow();
    return KVD_S_OK;
}

HRESULT RecordPixMap::CleanUpAfterSampling(AutoBool)
{
    Follow();
    return KVD_S_OK;
}

}  // namespace Host
