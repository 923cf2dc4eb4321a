#include "calc/SourcePositioning.h"

#include "ResultCodes.h"
#include "foundation/COMPtr.h"

namespace CalcEnums {

HRESULT PositionSource(IEnumExBase* source, int32_t position, int32_t* reached)
{
    if (reached != nullptr)
        *reached = position;
    if (source == nullptr)
        return KVD_E_BADSTATE;
    if (const KVD::COMPtr<ICalcEnum> calc{KVD::com_cast(source)})
        return calc->SetInitialPosition(position);
    int32_t current = 0;
    HRESULT hr = source->GetPosition(&current);
    if (hr != KVD_S_OK || current == position)
        return hr;
    int32_t skipped = 0;
    hr = source->SkipEx(position - current, &skipped);
    if (reached != nullptr)
        *reached = current + skipped;
    return hr;
}

}  // namespace CalcEnums
