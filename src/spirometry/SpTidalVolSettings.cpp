#include "spirometry/SpTidalVolSettings.h"

#include "IBinInStream.h"
#include "IBinOutStream.h"
#include "framework/HostDocumentQueries.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

HRESULT SpTidalVolSettings::Read(IBinInStream* in)
{
    if (in == nullptr)
        return KVD_E_POINTER;
    int32_t version = 0;
    HRESULT hr = in->ReadInt32(&version);
    if (hr != KVD_S_OK)
        return hr;
    if (version > kVersion)
        return KVD_E_NEWERVERSION;
    in->ReadInt32(&mSourceChannel);
    int32_t expiratory = 0;
    if (version >= 2)
        in->ReadInt32(&expiratory);
    in->ReadFloat(&mRangeBottom);
    hr = in->ReadFloat(&mRangeTop);
    if (version >= 3) {
        mExpiratoryOnly = expiratory != 0;
        KVD::String formula;
        hr = in->ReadKVDString(KVD::String::Setter(formula));
        mFormula = formula;
        return hr;
    }
    mExpiratoryOnly = false;
    mFormula = TidalVolumeFormula();
    return hr;
}

HRESULT SpTidalVolSettings::Write(IBinOutStream* out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    out->WriteWord32(uint32_t(kVersion));
    out->WriteWord32(uint32_t(mSourceChannel));
    out->WriteWord32(mExpiratoryOnly ? 1u : 0u);
    out->WriteFloat(mRangeBottom);
    out->WriteFloat(mRangeTop);
    return out->WriteKVDString(mFormula.AsIAutoKVDString());
}

HRESULT SpTidalVolSettings::GetObjId(TCAFId* id) const
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = TypeIdClass<&SpiroCalcGUID, kSpTidalVolSettingsSubId>::GetId();
    return KVD_S_OK;
}

bool SpTidalVolSettings::IsEqual(const SpTidalVolSettings* other) const
{
    return other != nullptr && SameChannelAndRange(*other) && mExpiratoryOnly == other->mExpiratoryOnly;
}

void SpTidalVolSettings::SetFrom(const SpTidalVolSettings* other)
{
    if (other == nullptr || other == this)
        return;
    CopyChannelsAndRange(*other);
    mExpiratoryOnly = other->mExpiratoryOnly;
    mFormula = other->mFormula;
}

bool SpTidalVolSettings::UpdateArithString(IAutoOrrelDoc* document)
{
    if (document == nullptr)
        return false;
    if (!mExpiratoryOnly) {
        mFormula = TidalVolumeFormula();
        return true;
    }
    KVD::String events;
    if (!CycleEventFormula(document, events))
        return false;
    KVD::String formula(L"Eventinterp(SpTidVolExp(");
    formula += GetChannelString();
    formula += L",";
    formula += events;
    formula += L"))";
    mFormula = formula;
    return true;
}

bool SpTidalVolSettings::CycleEventFormula(IAutoOrrelDoc* document, KVD::String& events) const
{
    const KVD::COMPtr<ICMDoc> cyclic = CMShared::GetICMDoc(document);
    if (cyclic == nullptr)
        return false;
    KVD::COMPtr<ICMCycleDetect> detection;
    if (cyclic->GetCycleDetection(detection.Set()) != KVD_S_OK)
        return false;
    if (detection == nullptr)
        return false;
    detection->ResetParameters();
    detection->SetParameter(kCMSmoothing, 8.0);
    detection->SetParameter(kCMLevel, 0.0);
    detection->SetParameter(kCMHysteresis, 0.5);
    detection->SetParameter(kCMMinimumCycle, 0.5);
    const KVD::String channel = GetChannelString();
    const TChannelId byText{-1, 0xC0000000u};  // kCMChannelByText
    if (detection->GetEventFormula(channel.AsIAutoKVDString(), 0, byText, KVD::String::Setter(events)) != KVD_S_OK)
        return false;
    return !events.empty();
}

KVD::String SpTidalVolSettings::TidalVolumeFormula() const
{
    KVD::String formula(L"EventInterp(SpTidalVolume(");
    formula += GetChannelString();
    formula += L",1),0)";
    return formula;
}

}  // namespace Spirometry
