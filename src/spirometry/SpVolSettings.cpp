#include "spirometry/SpVolSettings.h"

#include <algorithm>
#include <cmath>
#include <locale>

#include "IBinInStream.h"
#include "IBinOutStream.h"
#include "foundation/OFormatStream.h"
#include "foundation/OStringStream.h"
#include "foundation/cocoa/MessageBox.h"
#include "spirometry/RecordCodes.h"
#include "spirometry/SourceKinds.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {

namespace {

// The fields a stored record carries, read whole before any is taken.
struct StoredVolumeRecord {
    uint8_t flowChannel = 0;
    bool applyCorrection = false;
    float deadSpace = 0.0f;
    float volumeRatio = 0.0f;
    bool resetVolume = false;
    int32_t method = 1;
    double rangeTop = 0.0;
    double rangeBottom = 0.0;
};

HRESULT ReadRecord(IBinInStream* in, int32_t version, StoredVolumeRecord& r)
{
    unsigned char apply = 0;
    HRESULT hr = in->ReadByte(&r.flowChannel);
    if (hr == KVD_S_OK)
        hr = in->ReadByte(&apply);
    if (hr == KVD_S_OK)
        hr = in->ReadFloat(&r.deadSpace);
    if (hr == KVD_S_OK)
        hr = in->ReadFloat(&r.volumeRatio);
    r.applyCorrection = apply == 1;
    if (hr == KVD_S_OK && version >= 3) {
        unsigned char reset = 0;
        hr = in->ReadByte(&reset);
        r.resetVolume = reset == 1;
    }
    if (hr == KVD_S_OK && version >= 4)
        hr = in->ReadInt32(&r.method);
    if (hr == KVD_S_OK && version >= 2) {
        int32_t marker = 0;
        hr = in->ReadDouble(&r.rangeTop);
        if (hr == KVD_S_OK)
            hr = in->ReadDouble(&r.rangeBottom);
        if (hr == KVD_S_OK)
            hr = in->ReadInt32(&marker);
        if (hr == KVD_S_OK && marker != kRecordEndMarker)
            hr = KVD_E_BADSTATE;
    }
    return hr;
}

// A stored value that is no number is out of range too.
bool InRange(double value, double low, double high)
{
    return value >= low && value <= high;
}

double KeepInRange(double value, double low, double high, double fallback)
{
    return std::isnan(value) ? fallback : std::clamp(value, low, high);
}

}  // namespace

HRESULT SpVolSettings::Read(IBinInStream* in)
{
    if (in == nullptr)
        return KVD_E_POINTER;
    int32_t version = 0;
    if (in->ReadInt32(&version) != KVD_S_OK)
        return KVD_E_BADSTATE;
    if (version > kVersion)
        return KVD_E_NEWERVERSION;
    StoredVolumeRecord r;
    r.rangeTop = mRangeTop;
    r.rangeBottom = mRangeBottom;
    r.resetVolume = mResetVolume;
    const HRESULT hr = ReadRecord(in, version, r);
    if (hr != KVD_S_OK)
        return hr;
    const SpVolSettings defaults;
    mFlowChannel = ChannelFromByte(r.flowChannel);
    mApplyCorrection = r.applyCorrection;
    mDeadSpaceAsRead = r.deadSpace;
    mDeadSpace = KeepInRange(r.deadSpace, kMinDeadSpace, kMaxDeadSpace, defaults.mDeadSpace);
    mVolumeRatio = r.volumeRatio;
    // A ratio of exactly 0 is how old records said "no correction": it is kept as it is.
    if (r.volumeRatio != 0.0f) {
        mVolumeRatioAsRead = r.volumeRatio;
        mVolumeRatio = KeepInRange(r.volumeRatio, kMinVolumeRatio, kMaxVolumeRatio, defaults.mVolumeRatio);
    }
    mResetVolume = r.resetVolume;
    mCorrectionMethod = r.method;
    mRangeTop = r.rangeTop;
    mRangeBottom = r.rangeBottom;
    return KVD_S_OK;
}

HRESULT SpVolSettings::Write(IBinOutStream* out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    out->WriteWord32(uint32_t(kVersion));
    out->WriteByte(ChannelToByte(mFlowChannel));
    out->WriteByte(mApplyCorrection ? 1 : 0);
    out->WriteFloat(float(mDeadSpace));
    out->WriteFloat(float(mVolumeRatio));
    out->WriteByte(mResetVolume ? 1 : 0);
    out->WriteWord32(uint32_t(mCorrectionMethod));
    out->WriteDouble(mRangeTop);
    out->WriteDouble(mRangeBottom);
    return out->WriteWord32(uint32_t(kRecordEndMarker));
}

HRESULT SpVolSettings::GetObjId(TCAFId* id) const
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = SpVolSettingsTypeId();
    return KVD_S_OK;
}

bool SpVolSettings::IsEqual(const SpVolSettings* other) const
{
    return other != nullptr && mApplyCorrection == other->mApplyCorrection &&
           mCorrectionMethod == other->mCorrectionMethod && mResetVolume == other->mResetVolume &&
           mDeadSpace == other->mDeadSpace && std::fabs(mVolumeRatio - other->mVolumeRatio) < 1e-6 &&
           mFlowChannel == other->mFlowChannel && mVolumeChannel == other->mVolumeChannel &&
           mUnitText == other->mUnitText && mUnitIndex == other->mUnitIndex && mUnitPrefix == other->mUnitPrefix;
}

void SpVolSettings::SetFrom(const SpVolSettings* other)
{
    if (other == nullptr || other == this)
        return;
    mApplyCorrection = other->mApplyCorrection;
    mResetVolume = other->mResetVolume;
    mDeadSpace = other->mDeadSpace;
    mVolumeRatio = other->mVolumeRatio;
    mDeadSpaceAsRead = other->mDeadSpace;
    mVolumeRatioAsRead = other->mVolumeRatio;
    mFlowChannel = other->mFlowChannel;
    mVolumeChannel = other->mVolumeChannel;
    mCorrectionMethod = other->mCorrectionMethod;
    mUnitText = other->mUnitText;
    mUnitIndex = other->mUnitIndex;
    mRangeTop = other->mRangeTop;
    mRangeBottom = other->mRangeBottom;
    mSettingsText = other->mSettingsText;
    mUnitPrefix = other->mUnitPrefix;
}

const KVD::String& SpVolSettings::GetSettingStr() const
{
    KVD::OStringStream text;
    text.imbue(std::locale::classic());
    text << int32_t(0x80000000) << L'\t' << mApplyCorrection << L'\t' << mDeadSpace << L'\t' << mVolumeRatio << L'\t'
         << mResetVolume << L'\t';
    mSettingsText = text.str();
    return mSettingsText;
}

bool SpVolSettings::WasOutOfRange() const
{
    return mVolumeRatioAsRead != 0.0 && (!InRange(mDeadSpaceAsRead, kMinDeadSpace, kMaxDeadSpace) ||
                                         !InRange(mVolumeRatioAsRead, kMinVolumeRatio, kMaxVolumeRatio));
}

void SpVolSettings::MakeSourceInfos(int channel, CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true>& sources) const
{
    if (WasOutOfRange()) {
        KVD::OFormatStringStream caption(CachedText<SpirometryStr::IDS_OLD_VOL_CAPTION>());
        caption << channel + 1;
        KVD::CAFMessageBox(HWND{}, CachedText<SpirometryStr::IDS_OLD_SPIRO_UPDATED>().c_str(), caption.str().c_str(),
                           KVD::kMbOk, SpiroDocumentTypeId());
    }
    sources.Clear();
    const TChannelId source{int32_t(mFlowChannel), SourceKind(mFlowChannel, channel)};
    sources.Add(CalcEnums::CCalcEnumSourceInfo{source, kEnumDataSamples});
}

}  // namespace Spirometry
