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

}  // namespace CalcEnums
