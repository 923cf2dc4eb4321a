// spirohost list: loads the plug-in, registers it and lists what reached the object factory.
#include <iomanip>
#include <iostream>

#include "IFramework.h"
#include "ResultCodes.h"
#include "host/framework/Framework.h"
#include "host/framework/GuidText.h"
#include "host/framework/ResultText.h"
#include "host/loader/PluginBundle.h"
#include "foundation/KVDString.h"
#include "foundation/TextConversion.h"
#include "spirohost/Options.h"

namespace SpiroHost {
namespace {

void PrintClassObject(ICAFClassObject* object)
{
    TCAFId typeId = 0;
    const _IID* category = nullptr;
    object->GetTypeId(&typeId);
    object->GetCategory(&category);
    KVD::String name;
    object->GetObjectName(KVD::String::Setter(name));
    std::cout << "  type id 0x" << std::hex << std::setw(8) << std::setfill('0') << typeId << std::dec
              << "  category " << (category ? Host::GuidToString(*category) : std::string("none")) << "  "
              << KVD::ToU8String(name.c_str(), name.length()) << "\n";
}

}  // namespace

int RunList(const Args& args)
{
    po::options_description options("options");
    options.add_options()("bundle", po::value<std::string>()->default_value(Host::PluginBundle::DefaultFolder()),
                          "the plug-in's bundle folder");
    Parsed parsed = ParseOptions("list", "[--bundle DIR]", options, {}, args);
    if (parsed.exitCode)
        return *parsed.exitCode;

    Host::Framework* framework = Host::Framework::Instance();
    uint32_t before = 0;
    framework->GetClassObjectCount(&before);
    Host::PluginBundle plugin(parsed.values["bundle"].as<std::string>());
    const HRESULT hr = plugin.RegisterClassObjects();
    if (hr != KVD_S_OK) {
        std::cerr << "spirohost list: the plug-in's registration failed: " << Host::ResultText(hr) << "\n";
        return 1;
    }
    uint32_t after = 0;
    framework->GetClassObjectCount(&after);
    std::cout << "Loaded " << plugin.LibraryPath() << "\n" << (after - before) << " class objects registered\n";
    for (uint32_t i = before; i < after; ++i) {
        KVD::COMPtr<ICAFClassObject> object;
        const HRESULT found = framework->GetClassObjectAt(i, IID_ICAFClassObject, object.Set());
        if (found == KVD_S_OK && object != nullptr)
            PrintClassObject(object);
    }
    return 0;
}

}  // namespace SpiroHost
