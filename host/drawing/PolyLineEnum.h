// The host's poly-line enumerator: reduces a channel's samples in a record to one pair of points
// per pixel column. Column c covers ticks [ceil(c·t), ceil((c+1)·t)) at t ticks per pixel; its
// pair spans the least and greatest of those samples and the last value of the column before,
// so that neighbouring columns join. A column without a tick of its own (t < 1) takes the value
// interpolated at c·t; a column whose pair falls on one pixel spans that pixel and the next,
// since a segment of no length draws nothing. Samples are pulled forward through the record
// data's float stream. A record still being sampled grows under a kept enumerator: asked for
// columns past the samples it knows, it takes the record's newer samples.
#pragma once

#include <vector>

#include "DataScaling.h"
#include "IEnumFloatEx.h"
#include "IPolyLineEnumEx.h"
#include "IRecordData.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"

namespace Host {

// A column's values: least, greatest and last; empty when it holds no finite sample.
struct ColumnValues {
    float low;
    float high;
    float last;
    bool empty;
};

class PolyLineEnum final : public SimpleUnknownImp1<IPolyLineEnumEx, 0> {
public:
    struct Setup {
        TChannelId channel;
        int32_t record;
        int64_t numerator;    // ticks per pixel
        int64_t denominator;
        int64_t maxTick;
        int64_t startColumn;
        DataScaling scaling;  // pane y = (value + offset) × scale
    };
    // A new enumerator with one reference; null when the record data has no such stream.
    static PolyLineEnum* Create(const IRecordData& records, const Setup& setup);

    HRESULT GetPosition(int64_t* column) override;
    HRESULT Skip(int64_t columns, int64_t* skipped) override;
    HRESULT Next(int64_t columns, int32_t x, uint32_t maxPoints, PolyLinePoint* points, uint32_t* produced,
                 int64_t* consumed) override;
    HRESULT FindFirstColumn(double limit, int64_t column, int64_t* first) override;
    HRESULT GetLatestPosition(int64_t* column) override;

    // The values of a column, read forward from the stream (columns must not go backwards
    // by more than the stream can skip).
    ColumnValues Column(int64_t column);

private:
    PolyLineEnum(const IRecordData& records, IEnumFloatEx* stream, const Setup& setup, uint32_t ticks);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    // The ticks drawn of a record of `ticks`: up to the setup's greatest tick.
    int64_t DrawnTicks(uint32_t ticks) const;
    // Takes the record's newer samples when it grew and columns up to end are asked for
    // past the ones known.
    void Follow(int64_t end);
    int64_t FirstTick(int64_t column) const;
    // Sample k (0 <= k < ticks), buffered.
    float Sample(int64_t k);
    // Least and greatest finite sample of [from, to).
    void MinMax(int64_t from, int64_t to, float& low, float& high);
    bool Fill(int64_t from);
    float Interpolated(int64_t column);
    int32_t ToPixel(float value) const;

    KVD::COMPtr<const IRecordData> mRecords;
    KVD::COMPtr<IEnumFloatEx> mStream;
    Setup mSetup;
    int64_t mTicks;
    int64_t mColumns;
    int64_t mPosition;
    std::vector<float> mBuffer;
    int64_t mBufferStart = 0;
    int64_t mBufferEnd = 0;
    int64_t mStreamPosition = 0;
    ColumnValues mBefore{0, 0, 0, true};  // the column before the position, once computed
    int64_t mBeforeColumn = -2;
};

}  // namespace Host
