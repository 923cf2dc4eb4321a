// The whole-window print job: it prints the window's page to the print operation's PDF file,
// or copies it to the pasteboard as the only item, during its creation; its fixed answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ReportViewHost.h"
#include "appkit/Pasteboard.h"
#include "appkit/PrintView.h"
#include "plot/MacPrintJob.h"
#include "web/InProcessPage.h"
#include "web/LumoPrintView.h"
#include "web/WebView.h"

using namespace ViewsTest;

namespace {

std::string Bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The shared print info's file for the life of the object.
class SavingPath {
public:
    explicit SavingPath(std::string path) : mBefore(AppKit::PrintInfo::Shared().savingPath)
    {
        AppKit::PrintInfo::Shared().savingPath = std::move(path);
    }
    ~SavingPath() { AppKit::PrintInfo::Shared().savingPath = mBefore; }

private:
    std::string mBefore;
};

class WholeWindowJob : public ReportViewHost {
protected:
    void SetUp() override
    {
        ReportViewHost::SetUp();
        OpenReport();
        AppKit::Pasteboard::General().Clear();
        AppKit::Pasteboard::General().Write(AppKit::Pasteboard::kTextType, "earlier");
    }
    AppKit::WindowController* Controller() { return mView->GetWindowController(); }
    std::filesystem::path Pdf() const { return mBundle.Path() / "job.pdf"; }
};

TEST_F(WholeWindowJob, PrintsTheWindowsPageDuringItsCreation)
{
    const SavingPath saving(Pdf().string());
    KVD::MacPrintJob* job = KVD::CreateMacPrintJob(Controller(), false);
    ASSERT_NE(job->PrintView(), nullptr);
    EXPECT_FALSE(job->PrintView()->IsCopyingOperation());
    EXPECT_EQ(job->PrintView()->GetWindowController(), Controller());
    EXPECT_EQ(Bytes(Pdf()).substr(0, 5), "%PDF-");
    EXPECT_EQ(AppKit::Pasteboard::General().Read(AppKit::Pasteboard::kTextType), "earlier");
    // The job never receives an SVG: it is not finished, and answers as the platform's job does.
    EXPECT_FALSE(job->Finished());
    EXPECT_FALSE(job->Cancelled());
    EXPECT_FALSE(job->Failed());
    EXPECT_EQ(job->DeviceName(), "");
    EXPECT_TRUE(job->PrintingAll());
    EXPECT_FALSE(job->PrintingRange());
    EXPECT_FALSE(job->PrintingSelection());
    EXPECT_EQ(job->NumCopies(), 1);
    EXPECT_EQ(job->PlotId(), "");
    EXPECT_EQ(job->JobName(), "");
    EXPECT_EQ(job->Release(), 0u);
}

TEST_F(WholeWindowJob, ACopyLeavesOnlyThePagesPdfOnThePasteboard)
{
    const SavingPath saving(Pdf().string());
    KVD::MacPrintJob::CreateMacPrintJob(Controller(), true)->Release();
    const AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
    EXPECT_EQ(pasteboard.Types(), std::vector<std::string>{AppKit::Pasteboard::kPdfType});
    EXPECT_EQ(pasteboard.Read(AppKit::Pasteboard::kPdfType).substr(0, 5), "%PDF-");
    EXPECT_FALSE(std::filesystem::exists(Pdf()));
}

// A page that cannot be printed (its browser gone, say) is neither printed nor copied as a
// blank page of the view: the job has failed and nothing is written.
TEST_F(WholeWindowJob, APageThatCannotBePrintedFailsTheJobAndWritesNothing)
{
    auto& page = dynamic_cast<Web::InProcessPage&>(mView->GetWindowController()->GetWebView()->GetPage());
    page.SetPrintedPdf("");
    const SavingPath saving(Pdf().string());
    KVD::MacPrintJob* job = KVD::CreateMacPrintJob(Controller(), false);
    EXPECT_TRUE(job->Failed());
    EXPECT_TRUE(job->Finished());
    EXPECT_FALSE(std::filesystem::exists(Pdf()));
    job->Release();
    job = KVD::CreateMacPrintJob(Controller(), true);
    EXPECT_TRUE(job->Failed());
    EXPECT_FALSE(AppKit::Pasteboard::General().Has(AppKit::Pasteboard::kPdfType));
    job->Release();
    EXPECT_EQ(mView->GetWindowController()->GetWebView()->DrawingFailure(), Web::InProcessPage::kCannotRender);
}

// Without a file to print to, or a window to print, nothing is written anywhere.
TEST_F(WholeWindowJob, PrintsNothingWithoutAFileOrAWindow)
{
    {
        const SavingPath saving("");
        KVD::CreateMacPrintJob(Controller(), false)->Release();
    }
    const SavingPath saving(Pdf().string());
    KVD::CreateMacPrintJob(nullptr, false)->Release();
    KVD::CreateMacPrintJob(nullptr, true)->Release();
    EXPECT_FALSE(std::filesystem::exists(Pdf()));
    EXPECT_EQ(AppKit::Pasteboard::General().Read(AppKit::Pasteboard::kTextType), "earlier");
    Web::LumoPrintView view;
    EXPECT_FALSE(view.Print(nullptr));
}

}  // namespace
