#include "calc/CalcEnumEventBase.h"

#include "ResultCodes.h"

namespace CalcEnums {

HRESULT CalcEnumEventBase::GetRecordChannelType(RecordChannelTypes* type)
{
    if (type == nullptr)
        return KVD_E_NULLOUT;
    *type = kRecordChannelEvents;
    return KVD_S_OK;
}

HRESULT CalcEnumEventBase::OwnQueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICalcEnum)
        *out = static_cast<ICalcEnum*>(this);
    else if (iid == IID_IEnumEventEx)
        *out = static_cast<IEnumEventEx*>(this);
    else
        return KVD_E_NOINTERFACE;
    AddRef();
    return KVD_S_OK;
}

}  // namespace CalcEnums
