// The framework services of the host: the event map and the message processor that the
// framework object answers, and the host class objects (message factory, settings-key class,
// command and command-group classes, document, document-class and view-class bases, the
// calculation host) that the object factory hands out.
#pragma once

#include "IFramework.h"
#include "ICAFEventMap.h"
#include "ISettingsRegistrar.h"

namespace Host {

class Framework;
class CommandClass;

namespace FrameworkServices {

// Registers the host class objects with the framework's object factory, once.
void Install(Framework& framework);
// The service interfaces the framework object answers besides its factories.
HRESULT QueryInterface(const _IID& iid, void** out);
// Where keyed messages go when their destination keeps no settings registrar: the
// application's own registrar.
ISettingsRegistrar* ApplicationRegistrar();

// The host's event map.
ICAFEventMap* EventMap();

// The command class, to set the shortcuts the host proposes.
CommandClass& Commands();

}  // namespace FrameworkServices

}  // namespace Host
