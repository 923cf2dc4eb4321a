#include "host/UnknownEnum.h"

#include <algorithm>

namespace Host {

IEnumUnknown* UnknownEnum::Create(std::vector<KVD::COMPtr<IUnknown>> objects)
{
    UnknownEnum* created = new UnknownEnum(std::move(objects));
    created->AddRef();
    return created;
}

HRESULT UnknownEnum::Next(uint32_t count, IUnknown** out, uint32_t* delivered)
{
    if (out == nullptr || (count != 1 && delivered == nullptr))
        return KVD_E_POINTER;
    uint32_t given = 0;
    while (given < count && mCursor < mObjects.size())
        mObjects[mCursor++].GetOut(&out[given++]);
    if (delivered != nullptr)
        *delivered = given;
    return given == count ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT UnknownEnum::Skip(uint32_t count)
{
    const size_t left = mObjects.size() - mCursor;
    mCursor += std::min<size_t>(count, left);
    return count <= left ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT UnknownEnum::Reset()
{
    mCursor = 0;
    return KVD_S_OK;
}

HRESULT UnknownEnum::Clone(IEnumUnknown** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    UnknownEnum* copy = new UnknownEnum(mObjects);
    copy->mCursor = mCursor;
    copy->AddRef();
    *out = copy;
    return KVD_S_OK;
}

}  // namespace Host
