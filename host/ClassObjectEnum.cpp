#include "host/ClassObjectEnum.h"

#include <algorithm>

#include "ResultCodes.h"

namespace Host {

IEnumClassObjects* ClassObjectEnum::Create(const std::vector<ICAFClassObject*>& objects)
{
    auto* e = new ClassObjectEnum(objects);
    e->AddRef();
    return e;
}

ClassObjectEnum::ClassObjectEnum(const std::vector<ICAFClassObject*>& objects) : mObjects(objects)
{
    for (ICAFClassObject* o : mObjects)
        o->AddRef();
}

ClassObjectEnum::~ClassObjectEnum()
{
    for (ICAFClassObject* o : mObjects)
        o->Release();
}

uint32_t ClassObjectEnum::AddRef() { return ++mRefs; }

uint32_t ClassObjectEnum::Release()
{
    const uint32_t left = --mRefs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT ClassObjectEnum::QueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IEnumClassObjects)
        return KVD_E_NOINTERFACE;
    *out = static_cast<IEnumClassObjects*>(this);
    AddRef();
    return KVD_S_OK;
}

HRESULT ClassObjectEnum::Next(uint32_t count, ICAFClassObject** out, uint32_t* delivered)
{
    if (out == nullptr || (count != 1 && delivered == nullptr))
        return KVD_E_POINTER;
    uint32_t n = 0;
    for (; n < count && mCursor < mObjects.size(); ++n, ++mCursor) {
        out[n] = mObjects[mCursor];
        out[n]->AddRef();
    }
    if (delivered != nullptr)
        *delivered = n;
    return n == count ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT ClassObjectEnum::Skip(uint32_t count)
{
    const size_t left = mObjects.size() - mCursor;
    mCursor += std::min<size_t>(count, left);
    return count <= left ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT ClassObjectEnum::Reset()
{
    mCursor = 0;
    return KVD_S_OK;
}

HRESULT ClassObjectEnum::Clone(IEnumClassObjects** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    auto* copy = new ClassObjectEnum(mObjects);
    copy->mCursor = mCursor;
    copy->AddRef();
    *out = copy;
    return KVD_S_OK;
}

}  // namespace Host
