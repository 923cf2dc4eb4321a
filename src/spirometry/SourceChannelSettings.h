// What the tidal-volume and minute-ventilation settings records share: the flow channel their
// formula reads, the channel the calculation computes, and that channel's value range.
#pragma once

#include <cstdint>

#include "IPersistObject.h"
#include "calc/CCalcEnumSourceInfo.h"
#include "foundation/ArrayCtor.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

namespace Spirometry {

class SourceChannelSettings : public SimpleUnknownImp1<IPersistObject, 0l> {
public:
    static constexpr int32_t kUnset = static_cast<int32_t>(0x80000000);

    // The calculation's own channel; a record that reads no channel yet reads that one.
    void SetCalculationChannel(long channel);
    // "Ch" and the source channel's 1-based number.
    KVD::String GetChannelString() const;
    // The source channel as the one source: its data flags say whether it is the channel the
    // calculation computes.
    void MakeSourceInfos(int channel, CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true>& sources) const;

    int32_t mSourceChannel = kUnset;
    float mRangeBottom = 0.0f;
    float mRangeTop = 10.0f;
    int32_t mUnitIndex = 2;
    long mOwnChannel = kUnset;  // not stored

protected:
    SourceChannelSettings() = default;
    void CopyChannelsAndRange(const SourceChannelSettings& other);
    bool SameChannelAndRange(const SourceChannelSettings& other) const;
};

}  // namespace Spirometry
