#include "host/drawing/PolyLineEnum.h"

#include <algorithm>
#include <cmath>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "host/drawing/RecordPixMap.h"

namespace Host {
namespace {

constexpr size_t kBufferSamples = 8192;
// Pane pixels beyond this are as far as a drawing context ever needs.
constexpr double kPixelLimit = 32000.0;

}  // namespace

PolyLineEnum* PolyLineEnum::Create(const IRecordData& records, const Setup& setup)
{
    uint32_t ticks = 0;
    if (setup.numerator <= 0 || setup.denominator <= 0 || records.GetRecordTicks(setup.record, &ticks) != KVD_S_OK)
        return nullptr;
    KVD::COMPtr<IEnumFloatEx> stream;
    if (records.GetFloatStream(setup.channel, KVDPosition{0, setup.record}, kRecordEndTick, stream.Set()) != KVD_S_OK)
        return nullptr;
    if (stream == nullptr)
        return nullptr;
    return KVD::MakeCounted<PolyLineEnum>(records, stream.get(), setup, ticks).Forget();
}

PolyLineEnum::PolyLineEnum(const IRecordData& records, IEnumFloatEx* stream, const Setup& setup, uint32_t ticks)
    : mRecords(&records),
      mStream(stream),
      mSetup(setup),
      mTicks(DrawnTicks(ticks)),
      mColumns(ColumnsFor(uint32_t(mTicks), setup.numerator, setup.denominator)),
      mPosition(std::max<int64_t>(setup.startColumn, 0)),
      mBuffer(kBufferSamples)
{
}

int64_t PolyLineEnum::DrawnTicks(uint32_t ticks) const
{
    return std::min<int64_t>(ticks, std::max<int64_t>(mSetup.maxTick, 0));
}

void PolyLineEnum::Follow(int64_t end)
{
    if (end <= mColumns)
        return;
    uint32_t ticks = 0;
    if (mRecords->GetRecordTicks(mSetup.record, &ticks) != KVD_S_OK || DrawnTicks(ticks) <= mTicks)
        return;
    // The stream read the samples there were; the record's last column may have changed too.
    KVD::COMPtr<IEnumFloatEx> stream;
    mRecords->GetFloatStream(mSetup.channel, KVDPosition{0, mSetup.record}, kRecordEndTick, stream.Set());
    if (stream == nullptr)
        return;
    mStream = stream;
    mStreamPosition = mBufferStart = mBufferEnd = 0;
    mBeforeColumn = -2;
    mTicks = DrawnTicks(ticks);
    mColumns = ColumnsFor(uint32_t(mTicks), mSetup.numerator, mSetup.denominator);
}

int64_t PolyLineEnum::FirstTick(int64_t column) const
{
    return std::min(FirstTickOfColumn(column, mSetup.numerator, mSetup.denominator), mTicks);
}

bool PolyLineEnum::Fill(int64_t from)
{
    int32_t skipped = 0;
    if (from != mStreamPosition) {
        mStream->SkipEx(int32_t(from - mStreamPosition), &skipped);
        mStreamPosition += skipped;
    }
    uint32_t delivered = 0;
    const auto wanted = uint32_t(std::min<int64_t>(int64_t(mBuffer.size()), mTicks - mStreamPosition));
    if (mStreamPosition == from && wanted > 0)
        mStream->Next(wanted, mBuffer.data(), &delivered);
    mBufferStart = mStreamPosition;
    mStreamPosition += delivered;
    mBufferEnd = mStreamPosition;
    return mBufferStart == from && delivered > 0;
}

float PolyLineEnum::Sample(int64_t k)
{
    if ((k < mBufferStart || k >= mBufferEnd) && !Fill(k))
        return std::numeric_limits<float>::quiet_NaN();
    return mBuffer[size_t(k - mBufferStart)];
}

namespace {

// Least and greatest of n floats, NaNs passed over: lo = v < lo ? v : lo, four lanes at a time
// where SSE is there (its min and max keep the second operand when either is NaN, as the
// comparison does). The compiler will not vectorise the plain loop by itself, since it may not
// reorder float comparisons.
void MinMaxOf(const float* p, int64_t n, float& lo, float& hi)
{
    int64_t i = 0;
#ifdef __SSE2__
    if (n >= 16) {
        __m128 lo0 = _mm_set1_ps(lo), lo1 = lo0, hi0 = _mm_set1_ps(hi), hi1 = hi0;
        for (; i + 8 <= n; i += 8) {
            const __m128 a = _mm_loadu_ps(p + i), b = _mm_loadu_ps(p + i + 4);
            lo0 = _mm_min_ps(a, lo0);
            lo1 = _mm_min_ps(b, lo1);
            hi0 = _mm_max_ps(a, hi0);
            hi1 = _mm_max_ps(b, hi1);
        }
        alignas(16) float lows[8], highs[8];
        _mm_store_ps(lows, lo0);
        _mm_store_ps(lows + 4, lo1);
        _mm_store_ps(highs, hi0);
        _mm_store_ps(highs + 4, hi1);
        for (int k = 0; k < 8; ++k) {
            lo = lows[k] < lo ? lows[k] : lo;
            hi = highs[k] > hi ? highs[k] : hi;
        }
    }
#endif
    for (; i < n; ++i) {
        lo = p[i] < lo ? p[i] : lo;
        hi = p[i] > hi ? p[i] : hi;
    }
}

}  // namespace

// The memory-bound heart of trace drawing.
void PolyLineEnum::MinMax(int64_t from, int64_t to, float& low, float& high)
{
    float lo = std::numeric_limits<float>::infinity();
    float hi = -std::numeric_limits<float>::infinity();
    for (int64_t k = from; k < to;) {
        if ((k < mBufferStart || k >= mBufferEnd) && !Fill(k))
            break;
        const int64_t n = std::min(to, mBufferEnd) - k;
        MinMaxOf(mBuffer.data() + (k - mBufferStart), n, lo, hi);
        k += n;
    }
    low = lo;
    high = hi;
}

float PolyLineEnum::Interpolated(int64_t column)
{
    const double tick = double(column) * double(mSetup.numerator) / double(mSetup.denominator);
    const auto k = int64_t(std::floor(tick));
    const float a = Sample(k);
    if (k + 1 >= mTicks)
        return a;
    const float b = Sample(k + 1);
    return float(a + (tick - double(k)) * (b - a));
}

ColumnValues PolyLineEnum::Column(int64_t column)
{
    const int64_t from = FirstTick(column);
    const int64_t to = FirstTick(column + 1);
    ColumnValues values{0, 0, 0, true};
    if (from >= mTicks || column < 0)
        return values;
    if (from < to) {
        MinMax(from, to, values.low, values.high);
        values.last = Sample(to - 1);
    } else {
        values.low = values.high = values.last = Interpolated(column);
    }
    values.empty = !(values.low <= values.high);
    return values;
}

int32_t PolyLineEnum::ToPixel(float value) const
{
    const double y = (double(value) + mSetup.scaling.offset) * mSetup.scaling.scale;
    return int32_t(std::lround(std::clamp(y, -kPixelLimit, kPixelLimit)));
}

HRESULT PolyLineEnum::GetPosition(int64_t* column)
{
    if (column == nullptr)
        return KVD_E_POINTER;
    *column = mPosition;
    return KVD_S_OK;
}

HRESULT PolyLineEnum::Skip(int64_t columns, int64_t* skipped)
{
    Follow(mPosition + columns);
    const int64_t reached = std::clamp<int64_t>(mPosition + columns, 0, mColumns);
    if (skipped != nullptr)
        *skipped = reached - mPosition;
    const bool whole = reached == mPosition + columns;
    mPosition = reached;
    return whole ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT PolyLineEnum::Next(int64_t columns, int32_t x, uint32_t maxPoints, PolyLinePoint* points, uint32_t* produced,
                           int64_t* consumed)
{
    if (points == nullptr || produced == nullptr || consumed == nullptr)
        return KVD_E_POINTER;
    *produced = 0;
    *consumed = 0;
    Follow(mPosition + columns);
    // The value the previous column ended with joins it to this one.
    ColumnValues before = mPosition == 0 ? ColumnValues{0, 0, 0, true}
                          : mBeforeColumn == mPosition - 1 ? mBefore
                                                           : Column(mPosition - 1);
    while (*consumed < columns && *produced + 2 <= maxPoints && mPosition < mColumns) {
        ColumnValues now = Column(mPosition);
        if (!now.empty) {
            float low = now.low, high = now.high;
            if (!before.empty && std::isfinite(before.last)) {
                low = std::min(low, before.last);
                high = std::max(high, before.last);
            }
            const int32_t px = x + int32_t(*consumed);
            const int32_t y0 = ToPixel(low), y1 = ToPixel(high);
            // A segment of no length strokes nothing: a flat column spans one pixel.
            points[(*produced)++] = {px, y0};
            points[(*produced)++] = {px, y1 == y0 ? y0 + 1 : y1};
        }
        before = now;
        ++mPosition;
        ++*consumed;
    }
    mBefore = before;
    mBeforeColumn = mPosition - 1;
    // Columns past the data are consumed without points.
    if (mPosition >= mColumns && *consumed < columns)
        *consumed = columns;
    return KVD_S_OK;
}

HRESULT PolyLineEnum::FindFirstColumn(double, int64_t column, int64_t* first)
{
    if (first == nullptr)
        return KVD_E_POINTER;
    *first = column;
    return KVD_S_OK;
}

HRESULT PolyLineEnum::GetLatestPosition(int64_t* column)
{
    if (column == nullptr)
        return KVD_E_POINTER;
    Follow(std::numeric_limits<int64_t>::max());
    *column = mColumns;
    return KVD_S_OK;
}

}  // namespace Host
