#include "calc/CalcEnumBase.h"

#include <type_traits>

#include "ResultCodes.h"

namespace CalcEnums {

template <class Primary>
HRESULT CalcEnumBaseT<Primary>::OwnQueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICalcEnum || (std::is_same_v<Primary, ICalcEnum64> && iid == IID_ICalcEnum64))
        *out = static_cast<Primary*>(this);
    else if (iid == IID_IEnumFloatEx || iid == IID_IEnumExBase)
        *out = static_cast<IEnumFloatEx*>(this);
    else if (iid == IID_IKVDSetCalcVariables)
        *out = static_cast<IKVDSetCalcVariables*>(this);
    else if (mVariables != nullptr)
        return mVariables->QueryInterface(iid, out);
    else
        return KVD_E_NOINTERFACE;
    this->AddRef();
    return KVD_S_OK;
}

template <class Primary>
HRESULT CalcEnumBaseT<Primary>::GetRecordChannelType(RecordChannelTypes* type)
{
    if (type == nullptr)
        return KVD_E_NULLOUT;
    *type = kRecordChannelSamples;
    return KVD_S_OK;
}

template <class Primary>
HRESULT CalcEnumBaseT<Primary>::IsUpdateNeeded(long, BlockUpdateType change, BlockUpdateType* needed)
{
    if (needed == nullptr)
        return KVD_E_NULLOUT;
    *needed = change != 0 ? kUpdateAll : 0;
    return KVD_S_OK;
}

template <class Primary>
HRESULT CalcEnumBaseT<Primary>::SetCalcVariables(uint32_t, IUnknown* variables)
{
    mVariables = variables;
    return KVD_S_OK;
}

template class CalcEnumBaseT<ICalcEnum>;
template class CalcEnumBaseT<ICalcEnum64>;

}  // namespace CalcEnums
