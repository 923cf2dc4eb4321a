#include "calc/CalcEnumIdentity.h"

#include "ResultCodes.h"

namespace CalcEnums {

HRESULT CalcEnumIdentity::Inner::QueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    if (iid == IID_IUnknown) {
        *out = static_cast<IUnknown*>(this);
        AddRef();
        return KVD_S_OK;
    }
    return mOwner->OwnQueryInterface(iid, out);
}

HRESULT CalcEnumIdentity::TypeIdOut(TCAFId* id) const
{
    if (id == nullptr)
        return KVD_E_NULLOUT;
    *id = 0;
    return mClass != nullptr ? mClass->GetTypeId(id) : KVD_E_BADSTATE;
}

HRESULT CalcEnumIdentity::ClassObjectOut(ICalcEnumClass2** cls) const
{
    if (cls == nullptr)
        return KVD_E_NULLOUT;
    KVD::GiveOut(mClass, cls);
    return KVD_S_OK;
}

}  // namespace CalcEnums
