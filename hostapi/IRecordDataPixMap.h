// The host's map between the pixel columns of a trace display and the positions of a
// recording's records at one zoom: records lie end to end, record r taking the columns
// [first, end) that its ticks fill at the ticks per pixel (a fraction, kept exact), after a
// gap for its header when the display shows headers (the gap's columns belong to the record
// after it, at negative record columns). Drawers ask it where columns, ticks and events fall;
// the display tells it the zoom and its headers.
#pragma once

#include "IUnknown.h"

struct IRecordData;

// 1E502C3B-ADE1-4F49-9760-ED598EBF2DBE
inline constexpr _IID IID_IRecordDataPixMap = {0x1E502C3B, 0xADE1, 0x4F49, {0x97, 0x60, 0xED, 0x59, 0x8E, 0xBF, 0x2D, 0xBE}};
// CA6188DE-5BE6-4D4E-8452-1C11D39A4745
inline constexpr _IID IID_IKVDScopeDataPixMap = {0xCA6188DE, 0x5BE6, 0x4D4E, {0x84, 0x52, 0x1C, 0x11, 0xD3, 0x9A, 0x47, 0x45}};

// Requests of ColumnToPosition: where a start column, or an end column, falls.
constexpr uint32_t kPixMapEndColumn = 1;
constexpr uint32_t kPixMapStartColumn = 2;
// Request of PositionToColumn: a position of the record being drawn.
constexpr uint32_t kPixMapCurrentRecord = 0x80000000;
// Request of GetRecordTiming: the time of a column and the seconds one pixel covers.
constexpr uint32_t kPixMapColumnTime = 40;
// Layout parameters the graticule sets: header gap in pixels, marker size, header mode.
constexpr uint32_t kPixMapMarkerSize = 0x80000001;
constexpr uint32_t kPixMapHeaderGap = 0x80000002;
constexpr uint32_t kPixMapHeaderMode = 0x80000003;

struct IRecordDataPixMap : IUnknown {
    // The record data the map lays out, with a reference.
    virtual HRESULT GetRecordData(IRecordData** out) = 0;                                  // slot 3
    // Ticks per pixel as numerator / denominator, both positive.
    virtual HRESULT SetTicksPerPixel(int64_t numerator, int64_t denominator) = 0;         // slot 4
    virtual HRESULT GetTicksPerPixel(int64_t* numerator, int64_t* denominator) = 0;       // slot 5
    virtual HRESULT GetTotalPixels(int64_t* pixels) = 0;                                   // slot 6
    // The record holding the pixel and the tick its column starts at; KVD_S_FALSE beyond the
    // last record.
    virtual HRESULT PixelToPosition(int64_t pixel, KVDPosition* position) = 0;            // slot 7
    // The columns [first, end) of a record.
    virtual HRESULT GetRecordPixels(int32_t record, int64_t* first, int64_t* end) = 0;    // slot 8
    virtual HRESULT GetRecordSecsPerTick(int32_t record, double* secs) = 0;               // slot 9
    // The column at which the record starts: what drawers add to record columns.
    virtual HRESULT GetRecordStartOffset(int32_t record, int64_t* column) = 0;            // slot 10
    // What a poly-line enumerator of the record is made with: the ticks per pixel.
    virtual HRESULT GetPolyLinePair(int32_t record, int64_t* pair) = 0;                   // slot 11
    // Needs-update bits set since the last acknowledgement.
    virtual HRESULT GetNeedsUpdate(uint32_t* bits) = 0;                                    // slot 12
    virtual HRESULT AcknowledgeNeedsUpdate(uint32_t bits) = 0;                            // slot 13
    virtual HRESULT MarkNeedsUpdate(uint32_t bits) = 0;                                   // slot 14
    // The record and the (fractional) tick at a column, negative in a header gap; KVD_S_FALSE
    // beyond the data.
    virtual HRESULT ColumnToPosition(uint32_t request, double column, int32_t* record, double* tick) = 0;  // slot 15
    // The column of a tick of a record.
    virtual HRESULT PositionToColumn(uint32_t request, int32_t record, double tick, double* column) = 0;  // slot 16
    // The seconds from the record's start to the column and the seconds per pixel.
    virtual HRESULT GetRecordTiming(uint32_t request, int32_t record, int64_t column, double* seconds,
                                    double* secsPerPixel) = 0;                             // slot 17
    virtual HRESULT SetLayoutParameter(uint32_t id, double value) = 0;                    // slot 18
    // The total pixel extent and the record count, whose quotient says how crowded records are.
    virtual HRESULT GetRecordDensity(double* pixels, double* records) = 0;                // slot 19
    // Lays out another record data at the same zoom.
    virtual HRESULT SetRecordData(IRecordData* records) = 0;                              // slot 20
};
KVD_INTERFACE_ID(IRecordDataPixMap, IID_IRecordDataPixMap);

// A pixel map of a scope-style display, where records are sweeps drawn over each other. The
// host offers none by default; drawers take its paths only when a map answers for it.
struct IKVDScopeDataPixMap : IUnknown {
    // Low byte: 2 a sweep drawn as background, 3 an overlay.
    virtual HRESULT GetTraceDrawFlags(int32_t record, uint32_t* flags) = 0;               // slot 3
    // The columns of the record that hold valid data; both -1 for no limit.
    virtual HRESULT GetValidRange(int32_t record, int32_t* first, int32_t* last) = 0;     // slot 4
    // The record's time offset as whole and fractional parts and a divisor of time values.
    virtual HRESULT GetRecordTimeOffset(int32_t record, int32_t* whole, float* fraction, double* divisor) = 0;  // slot 5
    // For columns [start, end) of a record: the end column and the (tick) position of start.
    virtual HRESULT GetColumnRange(int32_t record, int64_t start, int64_t end, int64_t* endColumn,
                                   double* position) = 0;                                  // slot 6
};
KVD_INTERFACE_ID(IKVDScopeDataPixMap, IID_IKVDScopeDataPixMap);
