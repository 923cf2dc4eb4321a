// A record pixel map that passes every call to the host's own map: the base of the test maps
// that hear or add to some calls and leave the rest to the real one.
#pragma once

#include "IRecordDataPixMap.h"
#include "foundation/COMPtr.h"

namespace TestSupport {

// Base is the object's IUnknown implementation over IRecordDataPixMap (and whatever else the
// double answers).
template <class Base>
class ForwardingPixMap : public Base {
public:
    explicit ForwardingPixMap(IRecordDataPixMap* inner) : mInner(inner) {}

    HRESULT GetRecordData(IRecordData** out) override { return mInner->GetRecordData(out); }
    HRESULT SetTicksPerPixel(int64_t n, int64_t d) override { return mInner->SetTicksPerPixel(n, d); }
    HRESULT GetTicksPerPixel(int64_t* n, int64_t* d) override { return mInner->GetTicksPerPixel(n, d); }
    HRESULT GetTotalPixels(int64_t* p) override { return mInner->GetTotalPixels(p); }
    HRESULT PixelToPosition(int64_t p, KVDPosition* q) override { return mInner->PixelToPosition(p, q); }
    HRESULT GetRecordPixels(int32_t r, int64_t* f, int64_t* e) override { return mInner->GetRecordPixels(r, f, e); }
    HRESULT GetRecordSecsPerTick(int32_t r, double* s) override { return mInner->GetRecordSecsPerTick(r, s); }
    HRESULT GetRecordStartOffset(int32_t r, int64_t* c) override { return mInner->GetRecordStartOffset(r, c); }
    HRESULT GetPolyLinePair(int32_t r, int64_t* p) override { return mInner->GetPolyLinePair(r, p); }
    HRESULT GetNeedsUpdate(uint32_t* b) override { return mInner->GetNeedsUpdate(b); }
    HRESULT AcknowledgeNeedsUpdate(uint32_t b) override { return mInner->AcknowledgeNeedsUpdate(b); }
    HRESULT MarkNeedsUpdate(uint32_t b) override { return mInner->MarkNeedsUpdate(b); }
    HRESULT ColumnToPosition(uint32_t q, double c, int32_t* r, double* t) override
    {
        return mInner->ColumnToPosition(q, c, r, t);
    }
    HRESULT PositionToColumn(uint32_t q, int32_t r, double t, double* c) override
    {
        return mInner->PositionToColumn(q, r, t, c);
    }
    HRESULT GetRecordTiming(uint32_t q, int32_t r, int64_t c, double* s, double* p) override
    {
        return mInner->GetRecordTiming(q, r, c, s, p);
    }
    HRESULT SetLayoutParameter(uint32_t id, double v) override { return mInner->SetLayoutParameter(id, v); }
    HRESULT GetRecordDensity(double* p, double* r) override { return mInner->GetRecordDensity(p, r); }
    HRESULT SetRecordData(IRecordData* r) override { return mInner->SetRecordData(r); }

protected:
    KVD::COMPtr<IRecordDataPixMap> mInner;
};

}  // namespace TestSupport
