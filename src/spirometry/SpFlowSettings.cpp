#include "spirometry/SpFlowSettings.h"

#include <cmath>
#include <locale>

#include "IBinInStream.h"
#include "IBinOutStream.h"
#include "foundation/OFormatStream.h"
#include "foundation/OStringStream.h"
#include "foundation/units/EngDouble.h"
#include "foundation/units/UnitPrefix.h"
#include "spirometry/FlowHeads.h"
#include "spirometry/RecordCodes.h"
#include "spirometry/SourceKinds.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {

namespace {

// The fields a stored record carries, read whole before any of them is taken.
struct StoredFlowRecord {
    long rawFlowChannel;
    bool driftCorrection;
    int32_t headIndex;
    bool nonLinear;
    bool customHead;
    double headScale;
    double rangeTop;
    double rangeBottom;
    int32_t unitPrefix;
    NoiseFloorClamping clamp;
};


HRESULT ReadFlag(IBinInStream* in, bool* flag, bool anyNonZero)
{
    unsigned char byte = 0;
    const HRESULT hr = in->ReadByte(&byte);
    *flag = anyNonZero ? byte != 0 : byte == 1;
    return hr;
}

HRESULT ReadRecord(IBinInStream* in, int32_t version, StoredFlowRecord& r)
{
    unsigned char channel = 0;
    unsigned char head = 0;
    HRESULT hr = in->ReadByte(&channel);
    if (hr == KVD_S_OK)
        hr = ReadFlag(in, &r.driftCorrection, false);
    if (hr == KVD_S_OK)
        hr = in->ReadByte(&head);
    if (hr == KVD_S_OK)
        hr = ReadFlag(in, &r.nonLinear, false);
    if (hr == KVD_S_OK)
        hr = ReadFlag(in, &r.customHead, false);
    if (hr == KVD_S_OK)
        hr = in->ReadDouble(&r.headScale);
    if (hr == KVD_S_OK && version >= 2) {
        hr = in->ReadDouble(&r.rangeTop);
        if (hr == KVD_S_OK)
            hr = in->ReadDouble(&r.rangeBottom);
    }
    if (hr == KVD_S_OK && version >= 3) {
        KVD::String dropped;
        hr = in->ReadInt32(&r.unitPrefix);
        if (hr == KVD_S_OK)
            hr = ReadFlag(in, &r.clamp.enabled, true);
        if (hr == KVD_S_OK)
            hr = in->ReadDouble(&r.clamp.level);
        if (hr == KVD_S_OK)
            hr = in->ReadKVDString(KVD::String::Setter(dropped));
    }
    if (hr == KVD_S_OK && version >= 2) {
        int32_t marker = 0;
        hr = in->ReadInt32(&marker);
        if (hr == KVD_S_OK && marker != kRecordEndMarker)
            hr = KVD_E_BADSTATE;
    }
    if (hr != KVD_S_OK)
        return hr;
    r.rawFlowChannel = ChannelFromByte(channel);
    r.headIndex = head;
    if (r.headIndex > FlowHeads::kCustomHead || r.unitPrefix < 0 || r.unitPrefix >= int32_t(kUnitPrefixCount))
        return kRecordBadValue;
    return KVD_S_OK;
}

}  // namespace

SpFlowSettings::SpFlowSettings()
{
    SetDefaults();
}

SpFlowSettings::SpFlowSettings(const SpFlowSettings* other)
{
    SetDefaults();
    SetFrom(other);
}

void SpFlowSettings::SetDefaults()
{
    mDriftCorrection = false;
    mRawFlowChannel = kNoChannel;
    mOwnChannel = kNoChannel;
    mHeadIndex = FlowHeads::kDefaultHead;
    mNonLinearCompensation = false;
    mCustomHead = false;
    mHeadScale = 0.0;
    mUnitText = L"L/s";
    mUnitIndex = kDefaultUnitIndex;
    mRangeTop = 20.0;
    mRangeBottom = -20.0;
    mRawPrefixExponent = 0;
    mSettingsText = KVD::String();
    mFlowFullRange = 0.0;
    mClamp = NoiseFloorClamping();
    mUnitPrefix = kDefaultUnitPrefix;
}

void SpFlowSettings::SetFrom(const SpFlowSettings* other)
{
    if (other == nullptr || other == this)
        return;
    mDriftCorrection = other->mDriftCorrection;
    mRawFlowChannel = other->mRawFlowChannel;
    mOwnChannel = other->mOwnChannel;
    mHeadIndex = other->mHeadIndex;
    mNonLinearCompensation = other->mNonLinearCompensation;
    mCustomHead = other->mCustomHead;
    mHeadScale = other->mHeadScale;
    mUnitText = other->mUnitText;
    mUnitIndex = other->mUnitIndex;
    mRangeTop = other->mRangeTop;
    mRangeBottom = other->mRangeBottom;
    mRawPrefixExponent = other->mRawPrefixExponent;
    mSettingsText = other->mSettingsText;
    mFlowFullRange = other->mFlowFullRange;
    mClamp = other->mClamp;
    mUnitPrefix = other->mUnitPrefix;
}

void SpFlowSettings::SetFlowHead(long head, double customScale)
{
    mHeadIndex = int32_t(head);
    const FlowHeads heads;
    if (head == FlowHeads::kCustomHead) {
        mCustomHead = true;
        mHeadScale = customScale;
    } else {
        // An index that is no row keeps the scale it had rather than reading past the table.
        if (heads.IsRow(head))
            mHeadScale = heads.GetScale(unsigned(head));
        mCustomHead = false;
    }
    if (head != FlowHeads::kNonLinearHead)
        mNonLinearCompensation = false;
}

bool SpFlowSettings::IsEqual(const SpFlowSettings* other) const
{
    return other != nullptr && mDriftCorrection == other->mDriftCorrection &&
           mRawFlowChannel == other->mRawFlowChannel && mOwnChannel == other->mOwnChannel &&
           mHeadIndex == other->mHeadIndex && mNonLinearCompensation == other->mNonLinearCompensation &&
           mClamp == other->mClamp && mCustomHead == other->mCustomHead && mUnitText == other->mUnitText &&
           mUnitIndex == other->mUnitIndex && mUnitPrefix == other->mUnitPrefix &&
           std::fabs(mHeadScale - other->mHeadScale) < 1e-6;
}

HRESULT SpFlowSettings::GetObjId(TCAFId* id) const
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = SpFlowSettingsTypeId();
    return KVD_S_OK;
}

HRESULT SpFlowSettings::Write(IBinOutStream* out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    out->WriteWord32(uint32_t(kVersion));
    out->WriteByte(ChannelToByte(mRawFlowChannel));
    out->WriteByte(mDriftCorrection ? 1 : 0);
    out->WriteByte(uint8_t(mHeadIndex));
    out->WriteByte(mNonLinearCompensation ? 1 : 0);
    out->WriteByte(mCustomHead ? 1 : 0);
    out->WriteDouble(mHeadScale);
    out->WriteDouble(mRangeTop);
    out->WriteDouble(mRangeBottom);
    out->WriteWord32(uint32_t(mUnitPrefix));
    out->WriteByte(mClamp.enabled ? 1 : 0);
    out->WriteDouble(mClamp.level);
    out->WriteKVDString(KVD::String().AsIAutoKVDString());
    return out->WriteWord32(uint32_t(kRecordEndMarker));
}

HRESULT SpFlowSettings::Read(IBinInStream* in)
{
    if (in == nullptr)
        return KVD_E_POINTER;
    int32_t version = 0;
    if (in->ReadInt32(&version) != KVD_S_OK)
        return KVD_E_BADSTATE;
    if (version > kVersion)
        return KVD_E_NEWERVERSION;
    // Fields the record does not carry keep their values; nothing changes unless all is read.
    StoredFlowRecord r{mRawFlowChannel, mDriftCorrection, mHeadIndex, mNonLinearCompensation, mCustomHead,
                       mHeadScale, mRangeTop, mRangeBottom, mUnitPrefix, mClamp};
    const HRESULT hr = ReadRecord(in, version, r);
    if (hr != KVD_S_OK)
        return hr;
    mRawFlowChannel = r.rawFlowChannel;
    mDriftCorrection = r.driftCorrection;
    mHeadIndex = r.headIndex;
    mNonLinearCompensation = r.nonLinear;
    mCustomHead = r.customHead;
    mHeadScale = r.headScale;
    mRangeTop = r.rangeTop;
    mRangeBottom = r.rangeBottom;
    mUnitPrefix = r.unitPrefix;
    mClamp = r.clamp;
    return KVD_S_OK;
}

const KVD::String& SpFlowSettings::GetSettingStr() const
{
    KVD::OStringStream text;
    text.imbue(std::locale::classic());
    text << int32_t(0x80000000) << L'\t' << mDriftCorrection << L'\t' << mHeadIndex << L'\t' << mCustomHead << L'\t'
         << mHeadScale << L'\t' << mNonLinearCompensation << L'\t' << mRawFlowChannel << L'\t' << mOwnChannel
         << L'\t' << mClamp.enabled << L'\t' << mClamp.level << L'\t';
    mSettingsText = text.str();
    return mSettingsText;
}

KVD::String SpFlowSettings::GetFlowFormula() const
{
    KVD::OFormatStringStream formula(mNonLinearCompensation ? CachedText<SpirometryStr::IDS_FORMULA_NONLINEAR>()
                                                            : CachedText<SpirometryStr::IDS_FORMULA>());
    formula << mHeadScale;
    const FlowHeads heads;
    if (mNonLinearCompensation && heads.IsRow(mHeadIndex))
        formula << heads.GetCoefficient(unsigned(mHeadIndex));
    else
        formula << L"";
    return formula.str();
}

void SpFlowSettings::MakeSourceInfos(int channel, CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true>& sources) const
{
    sources.Clear();
    const TChannelId source{int32_t(mRawFlowChannel), SourceKind(mRawFlowChannel, channel)};
    sources.Add(CalcEnums::CCalcEnumSourceInfo{source, kEnumDataSamples});
}

bool SpFlowSettings::CheckBaseUnitAndPrefix(IAutoKVDString* unit, int& exponent) const
{
    exponent = 0;
    const KVD::String text(unit);
    switch (text.length()) {
    case 0:
        return true;
    case 1:
        return text[0] == L'V';
    case 2:
        exponent = EngUtils::engdouble::GetExponent(text[0]);
        return exponent != 0 && text[1] == L'V';
    default:
        return false;
    }
}

}  // namespace Spirometry
