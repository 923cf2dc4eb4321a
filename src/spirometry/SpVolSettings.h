// The settings record of the "Spirometry Volume" calculation: which flow channel is
// integrated, the warm-air correction (dead space and volume ratio) and its calibration
// method, the reset at each breath, and the computed channel's range and units.
#pragma once

#include <cstdint>

#include "IPersistObject.h"
#include "calc/CCalcEnumSourceInfo.h"
#include "foundation/ArrayCtor.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

namespace Spirometry {

class SpVolSettings : public SimpleUnknownImp1<IPersistObject, 0l> {
public:
    static constexpr int32_t kVersion = 4;
    static constexpr double kMinDeadSpace = 0.0;
    static constexpr double kMaxDeadSpace = 10000.0;
    static constexpr double kMinVolumeRatio = 0.01;
    static constexpr double kMaxVolumeRatio = 10.0;

    SpVolSettings() = default;
    // Every field of other (the defaults when null).
    explicit SpVolSettings(const SpVolSettings* other) { SetFrom(other); }

    // Newer versions answer 0xF8008005, failed reads and a wrong end marker 0xF800400A; nothing
    // changes unless the whole record was read. Stored values out of range are kept in range;
    // what was stored stays in the "as read" fields.
    HRESULT Read(IBinInStream* in) override;
    HRESULT Write(IBinOutStream* out) const override;
    HRESULT GetObjId(TCAFId* id) const override;

    // The settings text is a cache of the fields compared: it is not compared itself.
    bool IsEqual(const SpVolSettings* other) const;
    // The channel the calculation that owns the record computes.
    void SetCalculationChannel(long channel) { mVolumeChannel = channel; }
    // Every field; the "as read" values become the values taken.
    void SetFrom(const SpVolSettings* other);
    // The volume enumerator's settings text; kept in the settings-text field.
    const KVD::String& GetSettingStr() const;
    // The flow channel as the one source. A record stored with values out of range is reported
    // to the user once its sources are made, with the channel's number in the caption.
    void MakeSourceInfos(int channel, CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true>& sources) const;
    // Whether the record came with a dead space or ratio that had to be changed.
    bool WasOutOfRange() const;

    bool mApplyCorrection = false;
    bool mResetVolume = false;
    double mDeadSpace = 400.0;  // mL
    double mVolumeRatio = 1.0;
    double mDeadSpaceAsRead = 400.0;
    double mVolumeRatioAsRead = 1.0;
    long mFlowChannel = static_cast<int32_t>(0x80000000);
    long mVolumeChannel = static_cast<int32_t>(0x80000000);
    int32_t mCorrectionMethod = 0;
    KVD::String mUnitText = L"L";
    int32_t mUnitIndex = 3;
    double mRangeTop = 4.0;
    double mRangeBottom = -2.0;
    mutable KVD::String mSettingsText;
    int32_t mUnitPrefix = 8;
};

}  // namespace Spirometry
