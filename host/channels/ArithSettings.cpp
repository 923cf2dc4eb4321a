#include "host/channels/ArithSettings.h"

#include "IBinInStream.h"
#include "IBinOutStream.h"
#include "foundation/DynamicId.h"

namespace Host {

KVD::COMPtr<ArithSettings> ArithSettings::Create(const KVD::String& formula, const KVD::String& unit)
{
    return KVD::MakeCounted<ArithSettings>(formula, unit);
}

HRESULT ArithSettings::Read(IBinInStream* in)
{
    if (in == nullptr)
        return KVD_E_POINTER;
    KVD::String formula;
    KVD::String unit;
    in->ReadKVDString(KVD::String::Setter(formula));
    in->ReadKVDString(KVD::String::Setter(unit));
    if (in->StreamState() != KVD_S_OK)
        return KVD_E_BADSTATE;
    mFormula = formula;
    mUnit = unit;
    return KVD_S_OK;
}

HRESULT ArithSettings::Write(IBinOutStream* out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    out->WriteKVDString(mFormula.AsIAutoKVDString());
    out->WriteKVDString(mUnit.AsIAutoKVDString());
    return out->StreamState();
}

HRESULT ArithSettings::GetObjId(TCAFId* id) const
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = TypeIdClass<&GUID_ArithCalcId, 1>::GetId();
    return KVD_S_OK;
}

HRESULT ArithSettings::SetFromString(IAutoKVDString* expression, IAutoKVDString* units)
{
    if (expression == nullptr)
        return KVD_E_POINTER;
    mFormula = KVD::String(expression);
    if (units != nullptr)
        mUnit = KVD::String(units);
    return KVD_S_OK;
}

}  // namespace Host
