// Base of the host's own class objects that the object factory hands out by a fixed type id.
// They live as long as the framework services that own them.
#pragma once

#include "IDocView.h"
#include "IFramework.h"
#include "ResultCodes.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

namespace Host {

// I is the class object's own interface; More... are further interfaces a derived class
// implements.
template <class I, class... More>
class ServiceClassObject : public KVD::StaticUnknown<KVD::Answers<I, ICAFClassObject>, More...> {
public:
    ServiceClassObject(TCAFId typeId, const wchar_t* name) : mTypeId(typeId), mName(name) {}

    HRESULT GetTypeId(TCAFId* out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = mTypeId;
        return KVD_S_OK;
    }
    HRESULT GetCategory(const _IID** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = nullptr;
        return KVD_S_OK;
    }
    HRESULT GetObjectName(IAutoKVDString** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        mName.GetOut(out);
        return KVD_S_OK;
    }
    // The framework's own classes belong to no category.
    HRESULT IsInCategoryHR(const _IID*) override { return KVD_S_FALSE; }

private:
    TCAFId mTypeId;
    KVD::String mName;
};

// A host class object that makes objects: the object factory's CreateObject finds it through
// ICAFObjectCreator, which goes to the class's CreateObject.
class CreatorClassObject : public ServiceClassObject<IGenericClassObject, ICAFObjectCreator> {
public:
    using ServiceClassObject::ServiceClassObject;

    HRESULT CreateInstance(IUnknown* outer, const _IID& iid, void** out) override
    {
        return CreateObject(outer, iid, out);
    }
};

}  // namespace Host
