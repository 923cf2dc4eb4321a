// Base of the event enumerators: the faces ICalcEnum and IEnumEventEx over one identity. The
// event machinery supplies everything else.
#pragma once

#include "ICalcEnum.h"
#include "IEnumEventEx.h"
#include "calc/CalcEnumIdentity.h"

namespace CalcEnums {

class CalcEnumEventBase : public ICalcEnum, public IEnumEventEx, public CalcEnumIdentity {
public:
    using CalcEnumIdentity::CalcEnumIdentity;
    CalcEnumEventBase(const CalcEnumEventBase& other) : ICalcEnum(), IEnumEventEx(), CalcEnumIdentity(other) {}

    uint32_t AddRef() override { return DelegatingAddRef(); }
    uint32_t Release() override { return DelegatingRelease(); }
    HRESULT QueryInterface(const _IID& iid, void** out) override { return DelegatingQueryInterface(iid, out); }

    HRESULT GetTypeId(TCAFId* id) override { return TypeIdOut(id); }
    HRESULT GetClassObject(ICalcEnumClass2** cls) override { return ClassObjectOut(cls); }
    // Computed channels of events.
    HRESULT GetRecordChannelType(RecordChannelTypes* type) override;

    ICalcEnum* CalcFace() { return this; }
    IEnumEventEx* EventFace() { return this; }

protected:
    // IUnknown and ICalcEnum: the primary face; IEnumEventEx: the event face.
    HRESULT OwnQueryInterface(const _IID& iid, void** out) override;
};

}  // namespace CalcEnums
