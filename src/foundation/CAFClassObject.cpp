#include "foundation/CAFClassObject.h"

#include "foundation/ClassObjectAccessor.h"

CAFClassObject* CAFClassObject::sHead = nullptr;

CAFClassObject::CAFClassObject() : mNext(sHead)
{
    sHead = this;
}

void CAFClassObject::RegisterAll()
{
    for (CAFClassObject* item = sHead; item != nullptr; item = item->mNext) {
        if (IObjectFactory* factory = ObjectFactoryAccessor::Get())
            factory->RegisterClassObject(item->GetInterface());
    }
}
