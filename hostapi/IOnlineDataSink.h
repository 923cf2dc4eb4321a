// A display's face towards live sampling, as the host drives it: whether it can follow, then
// per run PrepareForSampling, per record OnRecordStart, Update as data arrives and OnRecordEnd,
// and CleanUpAfterSampling. A record pixel map that answers it hears each call before the
// display that uses it, so that its layout already holds the new data.
#pragma once

#include "CalcEnumTypes.h"
#include "IUnknown.h"

struct IAutoKVDString;

// FFBF9826-DA64-487A-91B2-32B3A424D50F
inline constexpr _IID IID_IOnlineDataSink = {0xFFBF9826, 0xDA64, 0x487A, {0x91, 0xB2, 0x32, 0xB3, 0xA4, 0x24, 0xD5, 0x0F}};

struct IOnlineDataSink : IUnknown {
    // KVD_S_FALSE with the reason (when asked for) when the display cannot follow sampling.
    virtual HRESULT CanSample(IAutoKVDString** reason) = 0;                              // slot 3
    virtual HRESULT PrepareForSampling(uint32_t block) = 0;                               // slot 4
    // record: non-zero when the record is kept, zero when only monitored.
    virtual HRESULT OnRecordStart(uint32_t block, AutoBool record) = 0;                   // slot 5
    virtual HRESULT Update(uint32_t block) = 0;                                            // slot 6
    virtual HRESULT OnRecordEnd(uint32_t block, BlockUpdateType* update) = 0;              // slot 7
    virtual HRESULT CleanUpAfterSampling(AutoBool kept) = 0;                               // slot 8
    virtual HRESULT OnEvent(uint32_t id, void* data) = 0;                                  // slot 9
    virtual HRESULT Reserved1() = 0;                                                       // slot 10
    virtual HRESULT Reserved2() = 0;                                                       // slot 11
    virtual HRESULT OnNewBlock(uint32_t block) = 0;                                        // slot 12
    // Sinks are called in ascending order number; data of higher priority is asked first.
    virtual int32_t GetCallingOrderNumber() = 0;                                           // slot 13
    virtual int32_t GetSourceChannelDataPriority() = 0;                                    // slot 14
};
KVD_INTERFACE_ID(IOnlineDataSink, IID_IOnlineDataSink);
