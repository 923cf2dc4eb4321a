#include "trace/DrawPrintableBase.h"

namespace OrrelDraw {

HRESULT DrawPrintableBase::SetReferenceDC(TDC& dc)
{
    mReferenceDC = &dc;
    return KVD_S_OK;
}

HRESULT DrawPrintableBase::ClearReferenceDC()
{
    mReferenceDC = nullptr;
    return KVD_S_OK;
}

HRESULT DrawPrintableBase::HasReferenceDC(AutoBool* has) const
{
    if (has != nullptr)
        *has = mReferenceDC != nullptr ? kAutoTrue : kAutoFalse;
    return mReferenceDC != nullptr ? KVD_S_OK : KVD_S_FALSE;
}

}  // namespace OrrelDraw
