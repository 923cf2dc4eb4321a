#include "framework/InterfaceIdEnum.h"

#include <algorithm>

IEnumInterface* InterfaceIdEnum::Create(const _IID* const* ids, unsigned int count)
{
    std::vector<_IID> copy;
    for (unsigned int i = 0; i < count; ++i)
        copy.push_back(*ids[i]);
    return KVD::COMPtr<InterfaceIdEnum>(new InterfaceIdEnum(std::move(copy))).Forget();
}

HRESULT InterfaceIdEnum::Next(uint32_t count, _IID* out, uint32_t* delivered)
{
    if (out == nullptr || (count != 1 && delivered == nullptr))
        return KVD_E_POINTER;
    uint32_t given = 0;
    while (given < count && mCursor < mIds.size())
        out[given++] = mIds[mCursor++];
    if (delivered != nullptr)
        *delivered = given;
    return given == count ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT InterfaceIdEnum::Skip(uint32_t count)
{
    const size_t left = mIds.size() - mCursor;
    mCursor += std::min<size_t>(count, left);
    return count <= left ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT InterfaceIdEnum::Reset()
{
    mCursor = 0;
    return KVD_S_OK;
}

HRESULT InterfaceIdEnum::Clone(IEnumInterface** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    KVD::COMPtr<InterfaceIdEnum> copy(new InterfaceIdEnum(mIds));
    copy->mCursor = mCursor;
    *out = copy.Forget();
    return KVD_S_OK;
}
