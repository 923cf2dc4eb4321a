#include "host/document/Selection.h"

namespace Host {

Selection* Selection::Create()
{
    return KVD::MakeCounted<Selection>().Forget();
}

HRESULT Selection::SetRange(KVDPosition left, KVDPosition right)
{
    mLeft = left;
    mRight = right;
    mHas = true;
    return KVD_S_OK;
}

HRESULT Selection::Clear()
{
    mLeft = mRight = KVDPosition{kNoPositionTick, kNoPositionRecord};
    mHas = false;
    return KVD_S_OK;
}

HRESULT Selection::GetRange(KVDPosition* left, KVDPosition* right) const
{
    if (left == nullptr || right == nullptr)
        return KVD_E_POINTER;
    *left = mLeft;
    *right = mRight;
    return mHas ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT Selection::HasSelection(AutoBool* has) const
{
    if (has == nullptr)
        return KVD_E_POINTER;
    *has = mHas ? kAutoTrue : kAutoFalse;
    return KVD_S_OK;
}

}  // namespace Host
