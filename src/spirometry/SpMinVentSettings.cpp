#include "spirometry/SpMinVentSettings.h"

#include <locale>

#include "IBinInStream.h"
#include "IBinOutStream.h"
#include "foundation/OStringStream.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

HRESULT SpMinVentSettings::Read(IBinInStream* in)
{
    if (in == nullptr)
        return KVD_E_POINTER;
    int32_t version = 0;
    const HRESULT hr = in->ReadInt32(&version);
    if (hr != KVD_S_OK)
        return hr;
    if (version > kVersion)
        return KVD_E_NEWERVERSION;
    in->ReadInt32(&mSourceChannel);
    in->ReadDouble(&mInterval);
    in->ReadFloat(&mRangeBottom);
    return in->ReadFloat(&mRangeTop);
}

HRESULT SpMinVentSettings::Write(IBinOutStream* out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    out->WriteWord32(uint32_t(kVersion));
    out->WriteWord32(uint32_t(mSourceChannel));
    out->WriteDouble(mInterval);
    out->WriteFloat(mRangeBottom);
    return out->WriteFloat(mRangeTop);
}

HRESULT SpMinVentSettings::GetObjId(TCAFId* id) const
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = TypeIdClass<&SpiroCalcGUID, kSpMinVentSettingsSubId>::GetId();
    return KVD_S_OK;
}

bool SpMinVentSettings::IsEqual(const SpMinVentSettings* other) const
{
    return other != nullptr && SameChannelAndRange(*other) && mInterval == other->mInterval;
}

void SpMinVentSettings::SetFrom(const SpMinVentSettings* other)
{
    if (other == nullptr || other == this)
        return;
    CopyChannelsAndRange(*other);
    mInterval = other->mInterval;
}

const KVD::String& SpMinVentSettings::GetSettingStr() const
{
    const KVD::String channel = GetChannelString();
    KVD::OStringStream text;
    text.imbue(std::locale::classic());
    text << L"-60.0 * decimatesec(" << channel.c_str() << L"*(1-threshold(" << channel.c_str() << L",0)),"
         << mInterval << L")";
    mFormula = text.str();
    return mFormula;
}

}  // namespace Spirometry
