// A receiver of live sampling. The device manager calls a sink in this order: PrepareForSampling,
// then per record OnRecordStart, AppendSamples and Update as samples arrive, OnRecordEnd; and
// CleanUpAfterSampling once sampling stops. A monitoring record keeps what it is appended and
// relays every call to the sinks of the views that show it.
#pragma once

#include "CalcEnumTypes.h"
#include "IUnknown.h"

// 5C5D1D31-03CB-44EB-8E22-6DA02638331D
inline constexpr _IID IID_IOrrelDataSink = {0x5C5D1D31, 0x03CB, 0x44EB, {0x8E, 0x22, 0x6D, 0xA0, 0x26, 0x38, 0x33, 0x1D}};

struct IOrrelDataSink : IUnknown {
    virtual HRESULT PrepareForSampling(uint32_t block) = 0;                               // slot 3
    // record: non-zero when the record is kept (recorded), zero when only monitored.
    virtual HRESULT OnRecordStart(uint32_t block, AutoBool record) = 0;                   // slot 4
    // New samples of every channel of the record, channel after channel (ticks values each),
    // in the channels' units.
    virtual HRESULT AppendSamples(uint32_t block, uint32_t channels, uint32_t ticks,
                                  const float* samples) = 0;                               // slot 5
    virtual HRESULT Update(uint32_t block) = 0;                                            // slot 6
    virtual HRESULT OnRecordEnd(uint32_t block, BlockUpdateType* update) = 0;              // slot 7
    virtual HRESULT CleanUpAfterSampling(AutoBool kept) = 0;                               // slot 8
};
KVD_INTERFACE_ID(IOrrelDataSink, IID_IOrrelDataSink);
