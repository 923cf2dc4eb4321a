#include "ReportViewHost.h"

#include <filesystem>

#include "FrameworkIds.h"
#include "cf/Bundle.h"
#include "foundation/ClassObjectAccessor.h"
#include "framework/OwlDocViewClass.h"
#include "graphics/Canvas.h"
#include "host/loader/ClassRegistration.h"
#include "spirometry/SpiroIds.h"
#include "views/SpiroReportWindow.h"
#include "web/InProcessPage.h"
#include "web/WebView.h"

namespace ViewsTest {

const std::map<std::string, std::string> kEchoTemplates = {
    {"Report", "S[%1%|%2%|%3%|%4%] R[%5%|%6%|%7%|%8%|%9%|%10%] B[%11%] T[%12%]"},
    {"Report_Summary", "O(%1%|%2%|%3%|%4%)"},
    {"Report_Summary_Normal", "M(%1%|%2%|%3%|%4%|%5%|%6%|%7%|%8%)"},
    {"Report_Breath_Normal", "N(%1%|%2%|%3%|%4%|%5%|%6%)"},
    {"Report_Breath_Forced", "F(%1%|%2%|%3%|%4%|%5%|%6%|%7%|%8%|%9%|%10%|%11%|%12%|%13%|%14%|%15%|%16%|%17%)"},
    {"Report_Breath_Single", "X(%1%|%2%|%3%|%4%|%5%|%6%|%7%|%8%|%9%|%10%|%11%|%12%|%13%)"},
};

namespace {

using ReportClass = CAFOwlDocViewClass<CAFOwlDocView<Spirometry::ReportView>>;

// The host's own view-class base, which the report's class aggregates.
void RegisterHostClasses()
{
    static const bool registered = [] {
        Host::RegisterDocumentAndViewClasses();
        return true;
    }();
    (void)registered;
}

}  // namespace

void ReportViewHost::SetUp()
{
    // The report's pages print one blank page: printing and copying can be followed through.
    Web::Page::SetFactory([] {
        auto page = std::make_unique<Web::InProcessPage>();
        page->SetPrintedPdf(Gfx::Canvas::CreatePDF(200, 100)->Finish());
        return page;
    });
    const std::filesystem::path layouts = std::filesystem::path(SPIRO_BUNDLE_DIR) / "Resources" / "layouts";
    std::filesystem::create_directories(mBundle.Path() / "Resources" / "layouts");
    std::filesystem::copy_file(layouts / "SpiroReportWindow.xml",
                               mBundle.Path() / "Resources" / "layouts" / "SpiroReportWindow.xml");
    WriteTemplates(kEchoTemplates);
    RegisterHostClasses();
    CreateAnalysedDocument(Breathing());
}

void ReportViewHost::TearDown()
{
    CloseReport();
    SpiroDocumentHost::TearDown();
    Web::Page::SetFactory(nullptr);
}

void ReportViewHost::WriteTemplates(const std::map<std::string, std::string>& templates)
{
    for (const auto& [name, text] : templates)
        mBundle.Write("Resources/" + name + ".html", text);
}

Spirometry::ReportView& ReportViewHost::OpenReport()
{
    auto* cls = new ReportClass(Spirometry::ReportView::GetStaticViewName(), &CATID_OrrelViewClass, 1,
                                L"Spirometry Report", Spirometry::SpiroReportViewTypeId(),
                                NSBundle::BundleWithPath(mBundle.Path().string()),
                                {&IID_IDocument, &Spirometry::IID_ISpiroDocInterface});
    ViewsTest::RegisterViewClass(static_cast<IDocViewClass*>(cls), Spirometry::SpiroReportViewTypeId());
    mView = &mOpened.Open(mChild, Spirometry::SpiroReportViewTypeId());
    return *mView;
}

void ReportViewHost::CloseReport()
{
    mOpened.Close();
    mView = nullptr;
    ObjectFactoryAccessor::Get()->RevokeClassObject(Spirometry::SpiroReportViewTypeId());
}

std::string ReportViewHost::PageText() const
{
    return mView->GetWindowController()->GetWebView()->PageText();
}

}  // namespace ViewsTest
