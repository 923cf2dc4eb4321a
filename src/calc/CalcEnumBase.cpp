#include "calc/CalcEnumBase.h"

#include "ResultCodes.h"

namespace CalcEnums {

template <class Primary>
HRESULT CalcEnumBaseT<Primary>::OwnQueryInterface(const _IID& iid, void** out)
{
    const HRESULT hr = KVD::QueryEntries<KVD::Answers<Primary, ICalcEnum>, KVD::Answers<IEnumFloatEx, IEnumExBase>,
                                         IKVDSetCalcVariables>(this, iid, out);
    return hr == KVD_E_NOINTERFACE && mVariables != nullptr ? mVariables->QueryInterface(iid, out) : hr;
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
