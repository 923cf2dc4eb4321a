#include "PlotViewHost.h"

#include "TestPlotViews.h"
#include "cf/Bundle.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "host/loader/ClassRegistration.h"

namespace PlotTest {
namespace {

// 6B0E2C1D-4F7A-4B43-9A51-2D8E61C0F3A7: the plot views' test document and view types
inline constexpr _IID kPlotViewTestGuid = {0x6B0E2C1D, 0x4F7A, 0x4B43, {0x9A, 0x51, 0x2D, 0x8E, 0x61, 0xC0, 0xF3, 0xA7}};
typedef TypeIdClass<&kPlotViewTestGuid, 0> DocTypeId;

IObjectFactory* Factory() { return COMClassObjectAccessor<IObjectFactory, &CLSID_CAFFrameWork>::Get(); }

}  // namespace

TCAFId PlotViewHost::ViewType() { return TypeIdClass<&kPlotViewTestGuid, 1>::GetId(); }

NSBundle* PlotViewHost::Bundle() const { return NSBundle::BundleWithPath(mBundle.Path().string()); }

PlotViewHost::PlotViewHost()
{
    mBundle.Write("Resources/layouts/TestPlotWindow.xml", TestPlotWindow::kLayout);
    mDocClass = new CAFDocumentClass<PlotTestDoc>(L"PlotTestDoc", kPlotViewTestGuid, &CATID_OrrelChildDocClass,
                                                  DocTypeId::GetId(), 1, false);
    mDocClass->AddRef();
    Factory()->RegisterClassObject(static_cast<ICustomDocClass*>(mDocClass));
    mHost = Host::HostDocument::Create(L"Recording");
}

PlotViewHost::~PlotViewHost()
{
    mHost->Close();
    mChild.Clear();
    mHost->Release();
    Factory()->RevokeClassObject(DocTypeId::GetId());
    mDocClass->Release();
    if (mViewClass != nullptr) {
        Factory()->RevokeClassObject(ViewType());
        mViewClass->Release();
    }
}

bool PlotViewHost::Register(IDocViewClass* cls)
{
    cls->AddRef();
    mViewClass = cls;
    if (Factory()->RegisterClassObject(cls) != KVD_S_OK)
        return false;
    Host::RegisterDocumentAndViewClasses();
    return mHost->CreateChildDocument(mDocClass, 0, mChild.Set()) == KVD_S_OK;
}

}  // namespace PlotTest
