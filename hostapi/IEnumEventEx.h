// Pull-model streams of events: fixed-size records that begin with int32 tick, float32
// sub-tick fraction and float64 value. Positions are ticks of the record.
#pragma once

#include "CalcEnumTypes.h"
#include "IUnknown.h"

// 6D2B77B4-02FA-4059-BB67-6F6D063929A5
inline constexpr _IID IID_IEnumEventEx = {0x6D2B77B4, 0x02FA, 0x4059, {0xBB, 0x67, 0x6F, 0x6D, 0x06, 0x39, 0x29, 0xA5}};
// 4E797832-FCA3-4673-832F-E614094B344C
inline constexpr _IID IID_IEnumEventObjectEx = {0x4E797832, 0xFCA3, 0x4673, {0x83, 0x2F, 0xE6, 0x14, 0x09, 0x4B, 0x34, 0x4C}};

struct IEnumEventEx : IUnknown {
    // Fills buffer (bytes long) with events before endTick; count receives the events
    // written, position the tick reached.
    virtual HRESULT Next(uint32_t bytes, int32_t endTick, uint8_t* buffer, uint32_t* count,
                         int32_t* position) = 0;                                        // slot 3
    virtual HRESULT Find(EventFindTypes type, int32_t from, int32_t lowest, int32_t limit) = 0;  // slot 4
    virtual HRESULT GetPosition(int32_t* position) = 0;                                // slot 5
    virtual HRESULT SkipIndex(int32_t count, int32_t* skipped) = 0;                    // slot 6
    virtual HRESULT Clone(IEnumEventEx** out) = 0;                                     // slot 7
    virtual HRESULT GetSizeofEvents(int32_t* size) = 0;                                // slot 8
    virtual HRESULT GetTypeofEvents(TCAFId* type) = 0;                                 // slot 9
    virtual HRESULT GetIndex(int32_t* index) = 0;                                      // slot 10
    virtual HRESULT GetTickToSample(TTickToSample* map) = 0;                           // slot 11
};
KVD_INTERFACE_ID(IEnumEventEx, IID_IEnumEventEx);

// The host's stream of event objects. The calculation library only recognises it as a
// source kind, so no operation of its own is declared here.
struct IEnumEventObjectEx : IUnknown {
};
KVD_INTERFACE_ID(IEnumEventObjectEx, IID_IEnumEventObjectEx);
