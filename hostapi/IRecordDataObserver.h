// Displays that follow a record's data: the record data tells its observers when records were
// added or grew, so that a display showing it can take in the new extent.
#pragma once

#include "IUnknown.h"

// 329B68F4-F3D7-444A-A136-F2C2F458E99A
inline constexpr _IID IID_IRecordDataObserver = {0x329B68F4, 0xF3D7, 0x444A, {0xA1, 0x36, 0xF2, 0xC2, 0xF4, 0x58, 0xE9, 0x9A}};
// 2CFD016A-77ED-4848-961F-14B97CB36C18
inline constexpr _IID IID_IRecordDataSubject = {0x2CFD016A, 0x77ED, 0x4848, {0x96, 0x1F, 0x14, 0xB9, 0x7C, 0xB3, 0x6C, 0x18}};

// What changed.
constexpr uint32_t kRecordDataGrown = 0x1;  // the last record has more ticks
constexpr uint32_t kRecordDataAdded = 0x2;  // records were added
// Attach flag of a display that follows every record of the data.
constexpr uint32_t kObserveAllRecords = 0x80000000u;

struct IRecordDataObserver : IUnknown {
    virtual HRESULT OnRecordDataChanged(uint32_t what) = 0;  // slot 3
};

// Answered by record data that can be followed. Observers are not counted: each detaches itself
// before it goes.
struct IRecordDataSubject : IUnknown {
    virtual HRESULT AttachRecordObserver(IRecordDataObserver* observer, uint32_t flags) = 0;  // slot 3
    virtual HRESULT DetachRecordObserver(IRecordDataObserver* observer) = 0;                  // slot 4
};

KVD_INTERFACE_ID(IRecordDataObserver, IID_IRecordDataObserver);
KVD_INTERFACE_ID(IRecordDataSubject, IID_IRecordDataSubject);
