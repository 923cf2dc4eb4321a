// The plug-in's two exported entry points: the host calls the first once after loading.
#include "FrameworkIds.h"
#include "KVDTypes.h"
#include "ResultCodes.h"
#include "foundation/CAFClassObject.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/StringKeys.h"
#include "framework/CAFDocumentClass.h"
#include "plugin/SpiroViewClass.h"
#include "spirometry/CSVSaveClassObject.h"
#include "spirometry/SpiroDocument.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"
#include "views/ReportView.h"
#include "views/SpiroDataView.h"
#include "views/SpiroLoopView.h"
#include "views/dialogs/CalcDialogs.h"

#define SPIRO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr DocumentClassFlags kDocumentClassFlags = 1;

// The class objects made at registration. They live for the whole process, as the host keeps
// them until it exits; it never gives back the references it holds, so they are not on the heap.
struct RegisteredClasses {
    CAFDocumentClass<Spirometry::SpiroDocument> document{L"SpiroDocument", Spirometry::SpiroDocumentGUID,
                                                         &CATID_OrrelChildDocClass, Spirometry::SpiroDocumentTypeId(),
                                                         kDocumentClassFlags, false};
    Spirometry::CSVSaveClassObject csv{Spirometry::SpiroCSVFormatId()};
    SpiroViewClass<Spirometry::SpiroDataView> dataView{Spirometry::SpiroDataView::GetStaticViewName(),
                                                       L"Spirometry Data View", Spirometry::SpiroDataViewTypeId(),
                                                       KVDGetMyBundle()};
    SpiroViewClass<Spirometry::SpiroLoopView> loopView{Spirometry::SpiroLoopView::GetStaticViewName(),
                                                       L"Spirometry Loop View", Spirometry::SpiroLoopViewTypeId(),
                                                       KVDGetMyBundle()};
    SpiroViewClass<Spirometry::ReportView> reportView{Spirometry::ReportView::GetStaticViewName(), L"Spirometry Report",
                                                      Spirometry::SpiroReportViewTypeId(), KVDGetMyBundle()};
};

}  // namespace

SPIRO_EXPORT HRESULT DllRegisterClassObjects()
{
    try {
        CAFClassObject::RegisterAll();
        static Spirometry::CalcDialogs dialogs;
        Spirometry::InstallSpiroDialogs(&dialogs);
        IObjectFactory* factory = ObjectFactoryAccessor::Get();
        if (factory == nullptr)
            return KVD_S_OK;
        static RegisteredClasses classes;
        factory->RegisterClassObject(static_cast<ICustomDocClass*>(&classes.document));
        factory->RegisterClassObject(classes.csv.GetInterface());
        for (IDocViewClass* view : {static_cast<IDocViewClass*>(&classes.dataView),
                                    static_cast<IDocViewClass*>(&classes.loopView),
                                    static_cast<IDocViewClass*>(&classes.reportView)})
            factory->RegisterClassObject(view);
        return KVD_S_OK;
    } catch (...) {
        return KVD_E_BADSTATE;  // nothing may cross into the host
    }
}

SPIRO_EXPORT HRESULT DllRegisterClassObjectsInOrrelReader()
{
    return KVD_S_OK;
}
