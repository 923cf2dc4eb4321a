// Base of the event enumerators: the faces ICalcEnum and IEnumEventEx over one identity. The
// event machinery supplies everything else.
#pragma once

#include "ICalcEnum.h"
#include "IEnumEventEx.h"
#include "calc/CalcEnumIdentity.h"

namespace CalcEnums {

class CalcEnumEventBase : public CalcEnumFaces<ICalcEnum, IEnumEventEx> {
public:
    using CalcEnumFaces<ICalcEnum, IEnumEventEx>::CalcEnumFaces;

    // Computed channels of events.
    HRESULT GetRecordChannelType(RecordChannelTypes* type) override;

    IEnumEventEx* EventFace() { return this; }
};

}  // namespace CalcEnums
