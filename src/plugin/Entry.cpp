// The plug-in's two exported entry points: the host calls the first once after loading.
#include "FrameworkIds.h"
#include "KVDTypes.h"
#include "ResultCodes.h"
#include "foundation/CAFClassObject.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/StringKeys.h"
#include "framework/CAFDocumentClass.h"
#include "plugin/PlaceholderViewClass.h"
#include "spirometry/CSVSaveClassObject.h"
#include "spirometry/SpiroDocument.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

#define SPIRO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr DocumentClassFlags kDocumentClassFlags = 1;

// The factory keeps the reference it takes; ours goes with the smart pointer.
void Register(IObjectFactory* factory, IUnknown* classObject)
{
    const KVD::COMPtr<IUnknown> held(classObject);
    factory->RegisterClassObject(held);
}

// The data, loop and report views are not built yet: their classes stand in, opening nothing.
void RegisterViewClasses(IObjectFactory* factory)
{
    using namespace Spirometry;
    using namespace SpirometryStr;
    Register(factory, static_cast<IDocViewClass*>(new PlaceholderViewClass(
                          CachedText<ID_SPIROMETRY_DATA>(), L"Spirometry Data View", SpiroDataViewTypeId())));
    Register(factory, static_cast<IDocViewClass*>(new PlaceholderViewClass(
                          CachedText<ID_SP_FLOW_VOLUME_PLOT>(), L"Spirometry Loop View", SpiroLoopViewTypeId())));
    Register(factory, static_cast<IDocViewClass*>(new PlaceholderViewClass(
                          CachedText<IDS_SPIROMETRY_REPORT>(), L"Spirometry Report", SpiroReportViewTypeId())));
}

}  // namespace

SPIRO_EXPORT HRESULT DllRegisterClassObjects()
{
    try {
        CAFClassObject::RegisterAll();
        IObjectFactory* factory = ObjectFactoryAccessor::Get();
        if (factory == nullptr)
            return KVD_S_OK;
        using namespace Spirometry;
        Register(factory, static_cast<ICustomDocClass*>(new CAFDocumentClass<SpiroDocument>(
                              L"SpiroDocument", SpiroDocumentGUID, &CATID_OrrelChildDocClass, SpiroDocumentTypeId(),
                              kDocumentClassFlags, false)));
        Register(factory, (new CSVSaveClassObject(SpiroCSVFormatId()))->GetInterface());
        RegisterViewClasses(factory);
        return KVD_S_OK;
    } catch (...) {
        return KVD_E_BADSTATE;  // nothing may cross into the host
    }
}

SPIRO_EXPORT HRESULT DllRegisterClassObjectsInOrrelReader()
{
    return KVD_S_OK;
}
