#include "host/framework/FrameworkServices.h"

#include <memory>

#include "FrameworkIds.h"

#include "foundation/COMPtr.h"
#include "host/calc/CalcEnumHost.h"
#include "host/commands/CommandClass.h"
#include "host/document/DocumentBase.h"
#include "host/document/DocumentClassBase.h"
#include "host/drawing/DrawingClasses.h"
#include "host/framework/EventMap.h"
#include "host/framework/Framework.h"
#include "host/framework/StandardMsgFactory.h"
#include "host/settings/SettingsKey.h"
#include "host/settings/SettingsRegistrar.h"
#include "host/views/ViewClassBase.h"

namespace Host {
namespace FrameworkServices {
namespace {

struct Services {
    Services() : registrar(SettingsRegistrar::Create()), processor(registrar) {}
    ~Services() { registrar->Release(); }

    ISettingsRegistrar* registrar;
    Host::EventMap eventMap;
    MessageProcessor processor;
    StandardMsgFactory messageFactory;
    SRKeyClass keyClass;
    CommandClass commandClass;
    CommandGroupClass commandGroupClass;
    DocumentBaseClass documentBaseClass;
    DocClassBaseClass docClassBaseClass;
    ViewClassBaseClass viewClassBaseClass;
};

Services& Get()
{
    static Services services;
    return services;
}

}  // namespace

void Install(Framework& framework)
{
    static Framework* installed = nullptr;
    if (installed == &framework)
        return;
    installed = &framework;
    Services& services = Get();
    uint16_t objects = 0;
    framework.GetDynId(GUID_OrrelObjects, &objects);
    static CalcEnumHostClass calcEnumHostClass(TCAFId(objects) << 16 | kOrrelObject_CalcEnumHost);
    framework.RegisterClassObject(static_cast<IGenericClassObject*>(&calcEnumHostClass));
    framework.RegisterClassObject(&services.messageFactory);
    framework.RegisterClassObject(&services.keyClass);
    framework.RegisterClassObject(&services.commandClass);
    framework.RegisterClassObject(&services.commandGroupClass);
    framework.RegisterClassObject(&services.documentBaseClass);
    framework.RegisterClassObject(&services.docClassBaseClass);
    framework.RegisterClassObject(&services.viewClassBaseClass);
    RegisterDrawingClasses(framework, objects);
}

HRESULT QueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (iid == IID_ICAFEventMap)
        return Get().eventMap.QueryInterface(iid, out);
    if (iid == IID_IMessageProcessor)
        return Get().processor.QueryInterface(iid, out);
    return KVD_E_NOINTERFACE;
}

ISettingsRegistrar* ApplicationRegistrar()
{
    return Get().registrar;
}

ICAFEventMap* EventMap()
{
    return &Get().eventMap;
}

CommandClass& Commands()
{
    return Get().commandClass;
}

}  // namespace FrameworkServices
}  // namespace Host
