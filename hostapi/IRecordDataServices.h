// Services of a document's record data: the record data itself, new monitoring records for live
// data, and, on a monitoring record, its storage and the sinks of the views that show it.
#pragma once

#include "IUnknown.h"

struct IOrrelDataSink;
struct IRecordData;
struct IStorage;

// 4D398203-8529-4C89-84B4-01EC4FCB098D
inline constexpr _IID IID_IRecordDataServices = {0x4D398203, 0x8529, 0x4C89, {0x84, 0xB4, 0x01, 0xEC, 0x4F, 0xCB, 0x09, 0x8D}};

struct IRecordDataServices : IUnknown {
    // The record data these services belong to, with a reference.
    virtual HRESULT GetRecordData(uint32_t flags, IRecordData** out) = 0;                  // slot 3
    // A new, empty monitoring record with the channels of this data, with a reference. It
    // answers IRecordData, IRecordDataServices and IOrrelDataSink.
    virtual HRESULT CreateRecord(uint32_t flags, IRecordData** out) = 0;                   // slot 4
    // Gives a monitoring record the storage its data may spill into; it holds it until it goes.
    virtual HRESULT AttachStorage(uint32_t flags, IStorage* storage) = 0;                  // slot 5
    // The sinks a monitoring record relays sampling to once it has taken the samples.
    virtual HRESULT AddViewSink(IOrrelDataSink* sink) = 0;                                 // slot 6
    virtual HRESULT RemoveViewSink(IOrrelDataSink* sink) = 0;                              // slot 7
};
KVD_INTERFACE_ID(IRecordDataServices, IID_IRecordDataServices);
