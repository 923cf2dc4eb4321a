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
    ViewsTest::RegisterViewClass(static_cast<IDocViewClass*>(cls), Spirometry::SpiroLoopViewTypeId());
}

Spirometry::SpiroLoopView& LoopViewHost::OpenLoop()
{
    mView = &mOpened.Open(mChild, Spirometry::SpiroLoopViewTypeId());
    return *mView;
}

void LoopViewHost::CloseLoop()
{
    mOpened.Close();
    mView = nullptr;
}

}  // namespace ViewsTest
