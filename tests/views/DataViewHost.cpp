#include "DataViewHost.h"

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"
#include "framework/CAFOwlDocView.h"
#include "host/loader/ClassRegistration.h"
#include "plugin/SpiroViewClass.h"
#include "spirometry/SpiroIds.h"

namespace ViewsTest {

namespace {

using DataViewClass = SpiroViewClass<Spirometry::SpiroDataView>;

void RegisterHostClasses()
{
    static const bool registered = [] {
        Host::RegisterDocumentAndViewClasses();
        return true;
    }();
    (void)registered;
}

}  // namespace

void DataViewHost::SetUp()
{
    Web::Page::SetFactory([this] {
        auto page = std::make_unique<Web::InProcessPage>();
        mPages.push_back(page.get());
        return page;
    });
    RegisterHostClasses();
    CreateAnalysedDocument(Breathing());
}

void DataViewHost::TearDown()
{
    CloseDataView();
    SpiroDocumentHost::TearDown();
    Web::Page::SetFactory(nullptr);
}

Spirometry::SpiroDataView& DataViewHost::OpenDataView()
{
    auto* cls = new DataViewClass(Spirometry::SpiroDataView::GetStaticViewName(), L"Spirometry Data View",
                                  Spirometry::SpiroDataViewTypeId(), KVDGetMyBundle());
    ViewsTest::RegisterViewClass(static_cast<IDocViewClass*>(cls), Spirometry::SpiroDataViewTypeId());
    mView = &mOpened.Open(mChild, Spirometry::SpiroDataViewTypeId());
    return *mView;
}

void DataViewHost::CloseDataView()
{
    mOpened.Close();
    mView = nullptr;
    ObjectFactoryAccessor::Get()->RevokeClassObject(Spirometry::SpiroDataViewTypeId());
}

std::string DataViewHost::ScriptsOf(size_t page) const
{
    std::string text;
    if (page < mPages.size())
        for (const std::string& script : mPages[page]->Scripts())
            text += script + "\n";
    return text;
}

}  // namespace ViewsTest
