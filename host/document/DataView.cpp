#include "host/document/DataView.h"

namespace Host {

DataView* DataView::Create(KVDPosition left, KVDPosition right, double ticksPerPixel)
{
    return KVD::MakeCounted<DataView>(left, right, ticksPerPixel).Forget();
}

HRESULT DataView::SetDisplayedRange(KVDPosition left, KVDPosition right)
{
    mLeft = left;
    mRight = right;
    return KVD_S_OK;
}

HRESULT DataView::SetZoom(double ticksPerPixel)
{
    if (!(ticksPerPixel > 0.0))
        return KVD_E_BADSTATE;
    mZoom = ticksPerPixel;
    return KVD_S_OK;
}

HRESULT DataView::GetZoom(double* ticksPerPixel) const
{
    if (ticksPerPixel == nullptr)
        return KVD_E_POINTER;
    *ticksPerPixel = mZoom;
    return KVD_S_OK;
}

HRESULT DataView::GetDisplayedRange(KVDPosition* left, KVDPosition* right) const
{
    if (left == nullptr || right == nullptr)
        return KVD_E_POINTER;
    *left = mLeft;
    *right = mRight;
    return KVD_S_OK;
}

}  // namespace Host
