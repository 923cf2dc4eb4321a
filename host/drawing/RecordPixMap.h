// The host's pixel map of a record data: records laid end to end, record r taking
// ceil(ticks / ticks-per-pixel) columns and, while the display shows record headers, a gap of
// the header's width before each record after the first, where the record's boundary is drawn
// (a gap column belongs to the record after it, before its first column); the zoom kept as an exact fraction so that columns
// and ticks convert without drift however far into an hour-long record. It hears sampling before
// the display that uses it and lays out the samples that came in.
#pragma once

#include <vector>

#include "IOnlineDataSink.h"
#include "IRecordData.h"
#include "IRecordDataPixMap.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"

namespace Host {

class RecordPixMap final : public SimpleUnknownImp2<IRecordDataPixMap, IOnlineDataSink, 0> {
public:
    // A new map at 10 ticks per pixel, with one reference.
    static RecordPixMap* Create(IRecordData* records);

    HRESULT GetRecordData(IRecordData** out) override;
    HRESULT SetTicksPerPixel(int64_t numerator, int64_t denominator) override;
    HRESULT GetTicksPerPixel(int64_t* numerator, int64_t* denominator) override;
    HRESULT GetTotalPixels(int64_t* pixels) override;
    HRESULT PixelToPosition(int64_t pixel, KVDPosition* position) override;
    HRESULT GetRecordPixels(int32_t record, int64_t* first, int64_t* end) override;
    HRESULT GetRecordSecsPerTick(int32_t record, double* secs) override;
    HRESULT GetRecordStartOffset(int32_t record, int64_t* column) override;
    HRESULT GetPolyLinePair(int32_t record, int64_t* pair) override;
    HRESULT GetNeedsUpdate(uint32_t* bits) override;
    HRESULT AcknowledgeNeedsUpdate(uint32_t bits) override;
    HRESULT MarkNeedsUpdate(uint32_t bits) override;
    HRESULT ColumnToPosition(uint32_t request, double column, int32_t* record, double* tick) override;
    HRESULT PositionToColumn(uint32_t request, int32_t record, double tick, double* column) override;
    HRESULT GetRecordTiming(uint32_t request, int32_t record, int64_t column, double* seconds,
                            double* secsPerPixel) override;
    HRESULT SetLayoutParameter(uint32_t id, double value) override;
    HRESULT GetRecordDensity(double* pixels, double* records) override;
    HRESULT SetRecordData(IRecordData* records) override;

    // IOnlineDataSink: every step of sampling lays out what came in.
    HRESULT CanSample(IAutoKVDString** reason) override;
    HRESULT PrepareForSampling(uint32_t block) override;
    HRESULT OnRecordStart(uint32_t block, AutoBool record) override;
    HRESULT Update(uint32_t block) override;
    HRESULT OnRecordEnd(uint32_t block, BlockUpdateType* update) override;
    HRESULT CleanUpAfterSampling(AutoBool kept) override;
    HRESULT OnEvent(uint32_t, void*) override { return KVD_S_OK; }
    HRESULT Reserved1() override { return KVD_E_NOTIMPL; }
    HRESULT Reserved2() override { return KVD_E_NOTIMPL; }
    HRESULT OnNewBlock(uint32_t) override { return KVD_S_OK; }
    // Before the displays that draw through the map.
    int32_t GetCallingOrderNumber() override { return 0; }
    int32_t GetSourceChannelDataPriority() override { return 100; }

    double LayoutParameter(uint32_t id) const;

    // The header mode the display sets when it draws record headers (else 3).
    static constexpr double kHeadersShown = 4.0;
    // Columns of a header gap at most, whatever a display asks for.
    static constexpr double kMaxHeaderGap = 1000.0;

private:
    explicit RecordPixMap(IRecordData* records);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    // A record's columns [first, end); its header gap ends at first and starts where the
    // record before ends.
    struct Span {
        uint32_t ticks;
        int64_t first;
        int64_t end;
    };
    void Layout();
    // The columns left before each record after the first.
    int64_t HeaderGap() const;
    // Sets a header parameter, laying the records out again when the gap changes.
    HRESULT SetHeaderLayout(double& field, double value);
    // Lays the records out again when the data grew since (a record being sampled).
    void Follow();
    bool IsRecord(int32_t record) const { return record >= 0 && size_t(record) < mSpans.size(); }
    // The record whose columns hold the column; -1 before the first, the count after the last.
    int32_t RecordAt(int64_t column) const;
    double TicksPerPixel() const { return double(mNumerator) / double(mDenominator); }

    KVD::COMPtr<IRecordData> mRecords;
    int64_t mNumerator = 10;
    int64_t mDenominator = 1;
    std::vector<Span> mSpans;
    uint32_t mNeedsUpdate = 0;
    double mMarkerSize = 8.0;
    double mHeaderGap = 0.0;
    double mHeaderMode = 0.0;
};

// Columns a record of `ticks` fills at numerator / denominator ticks per pixel.
int64_t ColumnsFor(uint32_t ticks, int64_t numerator, int64_t denominator);
// The first tick of the column: ceil(column × numerator / denominator).
int64_t FirstTickOfColumn(int64_t column, int64_t numerator, int64_t denominator);

}  // namespace Host
