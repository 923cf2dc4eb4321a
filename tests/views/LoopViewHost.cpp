#include "LoopViewHost.h"

#include "FrameworkIds.h"
#include "cf/Bundle.h"
#include "foundation/ClassObjectAccessor.h"
#include "framework/CAFOwlDocView.h"
#include "host/loader/ClassRegistration.h"
#include "plugin/SpiroViewClass.h"
#include "spirometry/SpiroIds.h"

namespace ViewsTest {
namespace {

using LoopClass = SpiroViewClass<Spirometry::SpiroLoopView>;

}  // namespace

void LoopViewHost::SetUp()
{
    static const bool registered = [] {
        Host::RegisterDocumentAndViewClasses();
        return true;
    }();
    (void)registered;
    CreateAnalysedDocument();
    RegisterLoopClass();
}

void LoopViewHost::TearDown()
{
    CloseLoop();
    ObjectFactoryAccessor::Get()->RevokeClassObject(Spirometry::SpiroLoopViewTypeId());
    SpiroDocumentHost::TearDown();
}

void LoopViewHost::RegisterLoopClass()
{
    auto* cls = new LoopClass(Spirometry::SpiroLoopView::GetStaticViewName(), L"Spirometry Loop View",
                              Spirometry::SpiroLoopViewTypeId(), NSBundle::BundleWithPath(SPIRO_BUNDLE_DIR));
    const KVD::COMPtr<IDocViewClass> held(static_cast<IDocViewClass*>(cls));
    ObjectFactoryAccessor::Get()->RevokeClassObject(Spirometry::SpiroLoopViewTypeId());
    EXPECT_EQ(ObjectFactoryAccessor::Get()->RegisterClassObject(held.get()), KVD_S_OK);
}

Spirometry::SpiroLoopView& LoopViewHost::OpenLoop()
{
    const KVD::COMPtr<IDocument> document(KVD::com_cast(mChild.get()));
    KVD::COMPtr<IUnknown> view;
    EXPECT_EQ(document->OpenView(Spirometry::SpiroLoopViewTypeId(), view.Set()), KVD_S_OK);
    mDocView = KVD::com_cast(view.get());
    EXPECT_NE(mDocView, nullptr);
    mView = static_cast<CAFOwlDocView<Spirometry::SpiroLoopView>*>(static_cast<IDocView2*>(mDocView.get()))->GetView();
    return *mView;
}

void LoopViewHost::CloseLoop()
{
    if (mDocView != nullptr) {
        const KVD::COMPtr<IDocument> document(KVD::com_cast(mChild.get()));
        document->CloseView(mDocView);
    }
    mDocView.Clear();
    mView = nullptr;
}

}  // namespace ViewsTest
