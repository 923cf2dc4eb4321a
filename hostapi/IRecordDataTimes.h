// When the records of a record data started, for time axes that show clock time or dates.
#pragma once

#include "IUnknown.h"

// 3A0F6C1E-52D4-4B8E-9E27-6C1B0D74A9F3
inline constexpr _IID IID_IRecordDataTimes = {0x3A0F6C1E, 0x52D4, 0x4B8E, {0x9E, 0x27, 0x6C, 0x1B, 0x0D, 0x74, 0xA9, 0xF3}};

struct IRecordDataTimes : IUnknown {
    // The local date and time at which the record started, in seconds from midnight at the
    // start of 1 January 1970 on the local clock, and the seconds to add for universal time
    // (not finite when unknown). KVD_S_FALSE, both not finite, when the data does not know.
    virtual HRESULT GetRecordStartTime(int32_t record, double* time, double* toUniversal) = 0;  // slot 3
};
KVD_INTERFACE_ID(IRecordDataTimes, IID_IRecordDataTimes);
