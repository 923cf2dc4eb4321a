#include "ViewHostFixture.h"

#include "cf/Bundle.h"
#include "host/commands/MenuModel.h"
#include "host/loader/ClassRegistration.h"

namespace ViewTest {
namespace {

IObjectFactory* Factory()
{
    return COMClassObjectAccessor<IObjectFactory, &CLSID_CAFFrameWork>::Get();
}

}  // namespace

NSBundle* TestBundle()
{
    return NSBundle::BundleWithPath(SPIRO_TEST_DATA_DIR "/ViewTest.bundle");
}

void ViewHostFixture::SetUp()
{
    mDocClass = new CAFDocumentClass<ViewTestDoc>(L"ViewTestDoc", kViewTestGuid, &CATID_OrrelChildDocClass,
                                                  ViewTestDocTypeId::GetId(), 1, false);
    mDocClass->AddRef();
    Factory()->RegisterClassObject(static_cast<ICustomDocClass*>(mDocClass));
    host = Host::HostDocument::Create(L"Recording");
}

void ViewHostFixture::RegisterViewClass(IDocViewClass* cls, TCAFId type)
{
    cls->AddRef();
    Factory()->RegisterClassObject(cls);
    mViewClasses.emplace_back(cls, type);
    if (mChild == nullptr) {
        Host::RegisterDocumentAndViewClasses();
        host->CreateChildDocument(mDocClass, 0, mChild.Set());
        document = KVD::com_cast(mChild.get());
    }
}

void ViewHostFixture::TearDown()
{
    document.Clear();
    host->Close();
    mChild.Clear();
    host->Release();
    Host::MenuModel::Instance().Clear();
    Factory()->RevokeClassObject(ViewTestDocTypeId::GetId());
    mDocClass->Release();
    for (auto& [cls, type] : mViewClasses) {
        Factory()->RevokeClassObject(type);
        cls->Release();
    }
}

KVD::COMPtr<IDocView> ViewHostFixture::Open(TCAFId type)
{
    KVD::COMPtr<IUnknown> view;
    document->OpenView(type, view.Set());
    return KVD::COMPtr<IDocView>(KVD::com_cast(view.get()));
}

uint32_t ViewHostFixture::ViewCount()
{
    uint32_t count = 0;
    document->GetViewCount(&count);
    return count;
}

}  // namespace ViewTest
