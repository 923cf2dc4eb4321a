// Registers a class object with the host stand-in for the length of a test and puts back
// whatever was registered under its type id before.
#pragma once

#include "IFramework.h"
#include "host/framework/Framework.h"

namespace CalcTest {

class HostRegistration {
public:
    explicit HostRegistration(ICAFClassObject* classObject)
    {
        classObject->GetTypeId(&mTypeId);
        Factory()->GetClassObject(mTypeId, IID_ICAFClassObject, reinterpret_cast<void**>(&mEarlier));
        Factory()->RegisterClassObject(classObject);
    }
    ~HostRegistration()
    {
        if (mEarlier != nullptr) {
            Factory()->RegisterClassObject(mEarlier);
            mEarlier->Release();
        } else {
            Factory()->RevokeClassObject(mTypeId);
        }
    }
    HostRegistration(const HostRegistration&) = delete;
    HostRegistration& operator=(const HostRegistration&) = delete;

    TCAFId TypeId() const { return mTypeId; }

private:
    static IObjectFactory* Factory() { return Host::Framework::Instance(); }

    TCAFId mTypeId = 0;
    ICAFClassObject* mEarlier = nullptr;
};

}  // namespace CalcTest
