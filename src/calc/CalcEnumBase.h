// Base of the sample enumerators: the three faces ICalcEnum (or ICalcEnum64), IEnumFloatEx and
// IKVDSetCalcVariables, and the calculation-variables object that QueryInterface falls back on.
#pragma once

#include "ICalcEnum.h"
#include "IEnumFloatEx.h"
#include "IKVDSetCalcVariables.h"
#include "ResultCodes.h"
#include "calc/CalcEnumIdentity.h"
#include "foundation/COMPtr.h"

namespace CalcEnums {

template <class Primary>
class CalcEnumBaseT : public CalcEnumFaces<Primary, IEnumFloatEx, IKVDSetCalcVariables> {
public:
    CalcEnumBaseT(ICalcEnumClass2* classObject, IOrrelData2* data)
        : CalcEnumFaces<Primary, IEnumFloatEx, IKVDSetCalcVariables>(classObject, data)
    {
    }
    // A copy starts without calculation variables.
    CalcEnumBaseT(const CalcEnumBaseT& other) : CalcEnumFaces<Primary, IEnumFloatEx, IKVDSetCalcVariables>(other) {}
    CalcEnumBaseT& operator=(const CalcEnumBaseT&) = delete;

    HRESULT GetRecordChannelType(RecordChannelTypes* type) override;
    // An enumerator that caches nothing: any change needs the whole output again, and there
    // is nothing to clear or move.
    HRESULT IsUpdateNeeded(long record, BlockUpdateType change, BlockUpdateType* needed) override;
    HRESULT ClearCachedData(BlockUpdateType, KVDPosition, KVDPosition, int32_t, int32_t) override { return KVD_S_OK; }
    HRESULT ReindexCachedData(uint32_t, int32_t, int32_t) override { return KVD_S_OK; }
    // Holds variables (replacing and releasing what was held; null clears).
    HRESULT SetCalcVariables(uint32_t flags, IUnknown* variables) override;

    IEnumFloatEx* StreamFace() { return this; }

protected:
    // IUnknown and the primary interface, the stream face, the variables face; anything else
    // is the calculation variables' to answer.
    HRESULT OwnQueryInterface(const _IID& iid, void** out) override;

private:
    KVD::COMPtr<IUnknown> mVariables;
};

using CalcEnumBase2 = CalcEnumBaseT<ICalcEnum>;
using CalcEnumBase64 = CalcEnumBaseT<ICalcEnum64>;

extern template class CalcEnumBaseT<ICalcEnum>;
extern template class CalcEnumBaseT<ICalcEnum64>;

}  // namespace CalcEnums
