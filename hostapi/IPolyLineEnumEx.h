// The host's reduction of a channel's samples to what a trace draws: for each pixel column one
// pair of points, from the least to the greatest value the column's samples take (with the last
// value of the column before, so that neighbouring columns join), in pane pixels.
#pragma once

#include "IUnknown.h"

// A110CE7A-083E-43FE-B97B-2C8189903DEA
inline constexpr _IID IID_IPolyLineEnumEx = {0xA110CE7A, 0x083E, 0x43FE, {0xB9, 0x7B, 0x2C, 0x81, 0x89, 0x90, 0x3D, 0xEA}};

// A point of a trace: x in the drawing context's pixels, y in pane pixels from the top.
struct PolyLinePoint {
    int32_t x;
    int32_t y;
};

// Most points one call fills.
constexpr uint32_t kPolyLineMaxPoints = 256;

struct IPolyLineEnumEx : IUnknown {
    // The column (from the record's start) the next call starts at.
    virtual HRESULT GetPosition(int64_t* column) = 0;                                      // slot 3
    virtual HRESULT Skip(int64_t columns, int64_t* skipped) = 0;                           // slot 4
    // Points of up to `columns` columns, the first drawn at x, at most maxPoints; consumed says
    // how many columns were used. Columns without data give no points but are consumed.
    virtual HRESULT Next(int64_t columns, int32_t x, uint32_t maxPoints, PolyLinePoint* points,
                         uint32_t* produced, int64_t* consumed) = 0;                       // slot 5
    // The first column at or after `column` whose time is not before `limit` seconds.
    virtual HRESULT FindFirstColumn(double limit, int64_t column, int64_t* first) = 0;     // slot 6
    // The column just past the last one with data.
    virtual HRESULT GetLatestPosition(int64_t* column) = 0;                                // slot 7
};
KVD_INTERFACE_ID(IPolyLineEnumEx, IID_IPolyLineEnumEx);
