#include "host/FrameworkServices.h"

#include <memory>

#include "foundation/COMPtr.h"
#include "host/EventMap.h"
#include "host/Framework.h"
#include "host/SettingsKey.h"
#include "host/SettingsRegistrar.h"
#include "host/StandardMsgFactory.h"

namespace Host {
namespace FrameworkServices {
namespace {

struct Services {
    Services() : registrar(SettingsRegistrar::Create()), processor(registrar) {}
    ~Services() { registrar->Release(); }

    ISettingsRegistrar* registrar;
    EventMap eventMap;
    MessageProcessor processor;
    StandardMsgFactory messageFactory;
    SRKeyClass keyClass;
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
    framework.RegisterClassObject(&services.messageFactory);
    framework.RegisterClassObject(&services.keyClass);
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

}  // namespace FrameworkServices
}  // namespace Host
