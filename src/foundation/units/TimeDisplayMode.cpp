#include "foundation/units/TimeDisplayMode.h"

void CTimeDisplayMode::SetUnitsNotTime(bool units)
{
    if (units)
        mMode |= kUnitsNotTime;
    else
        mMode &= ~kUnitsNotTime;
}

KVD::String CTimeDisplayMode::GetAbsoluteLongestLabelStr()
{
    return KVD::String(L"10:00:00.0000 a.m.");
}
