// The plot job with the in-process page: it asks the page for its plot's print SVG, prints or
// copies the SVG the page answers with, ignores answers for other plots and kinds, fails on an
// SVG it cannot draw, and leaves the subject once done, so that a later answer prints nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "LumoPageFixture.h"
#include "appkit/DocViewWindowControllerBase.h"
#include "appkit/Pasteboard.h"
#include "appkit/PrintView.h"
#include "plot/MacPrintJob.h"
#include "support/PdfRaster.h"
#include "support/TempFolder.h"
#include "web/LumoPrintView.h"

namespace PlotTest {
namespace {

// Red left half, blue right half, 400 by 300: the plot window's content.
const char* const kPlotSvg =
    "<svg xmlns='http://www.w3.org/2000/svg' width='400' height='300'>"
    "<rect x='0' y='0' width='200' height='300' fill='#ff0000'/>"
    "<rect x='200' y='0' width='200' height='300' fill='#0000ff'/></svg>";
constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

std::string Bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class PlotJob : public LumoPage {
protected:
    void SetUp() override
    {
        LumoPage::SetUp();
        mFolder.Write("PlotJobWindow.xml",
                      "<window title='Plot' width='400' height='300'><view frame='0 0 400 300'/></window>");
        window = std::make_unique<AppKit::DocViewWindowControllerBase>(mFolder.Path().string(), "PlotJobWindow");
        window->GetWindow();
        mSaved = AppKit::PrintInfo::Shared();
        AppKit::PrintInfo::Shared() = AppKit::PrintInfo();
        AppKit::PrintInfo::Shared().savingPath = Pdf().string();
        AppKit::Pasteboard::General().Clear();
        AppKit::Pasteboard::General().Write(AppKit::Pasteboard::kTextType, "earlier");
    }
    void TearDown() override
    {
        AppKit::PrintInfo::Shared() = mSaved;
        window.reset();
        LumoPage::TearDown();
    }

    KVD::MacPrintJob* Make(bool copying, const std::string& plotId = "local")
    {
        return KVD::CreateMacPrintJob(window.get(), proxy, plotId, proxy->GetSubject(), copying ? "" : "Plot", copying);
    }
    // The page answers the copy('print') call.
    void Answer(const std::string& plotId, const std::string& kind, const std::string& svg)
    {
        Call("SetSVG", {Web::Value::String(plotId), Web::Value::String(kind), Web::Value::String(svg)});
    }
    std::filesystem::path Pdf() const { return mFolder.Path() / "spool.pdf"; }
    size_t PdfCount() const
    {
        size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(mFolder.Path()))
            count += entry.path().extension() == ".pdf";
        return count;
    }

    std::unique_ptr<AppKit::DocViewWindowControllerBase> window;

private:
    TestSupport::TempFolder mFolder;
    AppKit::PrintInfo mSaved;
};

TEST_F(PlotJob, APrintJobPrintsThePagesSvgOnceToThePrintFile)
{
    KVD::MacPrintJob* job = Make(false);
    EXPECT_EQ(Page().Scripts().back(), "lumo.get_plot('local').copy('print');");
    EXPECT_EQ(job->JobName(), "Plot");
    EXPECT_EQ(job->PrintView(), nullptr);
    EXPECT_FALSE(job->Finished());
    Answer("local", "print", kPlotSvg);
    EXPECT_TRUE(job->Received());
    EXPECT_TRUE(job->Finished());
    EXPECT_FALSE(job->Failed());
    ASSERT_NE(job->PrintView(), nullptr);
    EXPECT_EQ(job->PrintView()->Frame(), (AppKit::Rect{0, 0, 400, 300}));
    EXPECT_EQ(job->PrintView()->GetWindowController(), window.get());
    EXPECT_EQ(PdfCount(), 1u);
    const Gfx::Image page = TestSupport::RasterizePDF(Bytes(Pdf()));
    ASSERT_EQ(page.Width(), 596);
    // 523 points wide between the margins, 392 high, in the middle of the page.
    EXPECT_EQ(page.Pixel(40, 421), kRed);
    EXPECT_EQ(page.Pixel(555, 421), kBlue);
    EXPECT_EQ(page.Pixel(297, 100), kWhite);
    EXPECT_EQ(AppKit::Pasteboard::General().Read(AppKit::Pasteboard::kTextType), "earlier");

    // The job has left the subject: the next copy of the same plot prints nothing.
    std::filesystem::remove(Pdf());
    Answer("local", "print", kPlotSvg);
    EXPECT_EQ(PdfCount(), 0u);
    EXPECT_EQ(job->Release(), 0u);
}

TEST_F(PlotJob, ACopyJobLeavesOnlyThePlotsPdfOnThePasteboard)
{
    KVD::MacPrintJob* job = Make(true);
    EXPECT_EQ(job->JobName(), "");
    Answer("local", "print", kPlotSvg);
    EXPECT_TRUE(job->Finished());
    const AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
    EXPECT_EQ(pasteboard.Types(), std::vector<std::string>{AppKit::Pasteboard::kPdfType});
    const Gfx::Image image = TestSupport::RasterizePDF(pasteboard.Read(AppKit::Pasteboard::kPdfType));
    ASSERT_EQ(image.Width(), 400);
    ASSERT_EQ(image.Height(), 300);
    EXPECT_EQ(image.Pixel(100, 150), kRed);
    EXPECT_EQ(image.Pixel(300, 150), kBlue);
    EXPECT_EQ(PdfCount(), 0u);
    job->Release();
}

// Answers to other requests: another kind, another plot, a plot id that differs in case.
TEST_F(PlotJob, AnswersForOtherPlotsOrKindsAreIgnored)
{
    KVD::MacPrintJob* job = Make(false);
    const char* const others[][2] = {{"local", "copy"}, {"local", "Print"}, {"other", "print"}, {"Local", "print"}};
    for (const auto& other : others) {
        Answer(other[0], other[1], kPlotSvg);
        EXPECT_FALSE(job->Finished()) << other[0] << " " << other[1];
    }
    EXPECT_EQ(PdfCount(), 0u);
    EXPECT_EQ(job->PrintView(), nullptr);
    job->Release();
}

// The print view refuses the SVG: the job has failed, is finished, and answers no more.
TEST_F(PlotJob, AnSvgThePrintViewCannotDrawFailsTheJob)
{
    KVD::MacPrintJob* job = Make(true);
    Answer("local", "print", "<svg");
    EXPECT_TRUE(job->Failed());
    EXPECT_FALSE(job->Received());
    EXPECT_TRUE(job->Finished());
    EXPECT_EQ(job->Subject(), nullptr);
    Answer("local", "print", kPlotSvg);
    EXPECT_FALSE(AppKit::Pasteboard::General().Has(AppKit::Pasteboard::kPdfType));
    job->Release();
}

// A print that writes no file (none named, or a folder in the file's place) fails the job: a
// job that printed nothing has not printed.
TEST_F(PlotJob, APrintThatWritesNoFileFailsTheJob)
{
    for (const std::string& path : {std::string(), Pdf().parent_path().string()}) {
        AppKit::PrintInfo::Shared().savingPath = path;
        KVD::MacPrintJob* job = Make(false);
        Answer("local", "print", kPlotSvg);
        EXPECT_TRUE(job->Failed()) << path;
        EXPECT_FALSE(job->Received()) << path;
        EXPECT_TRUE(job->Finished()) << path;
        EXPECT_EQ(job->Subject(), nullptr) << path;
        job->Release();
    }
    EXPECT_EQ(PdfCount(), 0u);
}

// A job that goes before the page answers leaves the subject; the answer finds no job.
TEST_F(PlotJob, AJobReleasedBeforeTheAnswerLeavesTheSubject)
{
    KVD::MacPrintJob* job = Make(false);
    EXPECT_EQ(job->Subject(), proxy->GetSubject());
    EXPECT_EQ(job->Release(), 0u);
    Answer("local", "print", kPlotSvg);
    EXPECT_EQ(PdfCount(), 0u);
}

// Without a subject the request still goes to the page, and nothing comes back to the job.
TEST_F(PlotJob, WithoutASubjectTheRequestIsStillMade)
{
    KVD::MacPrintJob* job = KVD::CreateMacPrintJob(window.get(), proxy, "p'1", nullptr, "Plot", false);
    EXPECT_EQ(Page().Scripts().back(), "lumo.get_plot('p\\'1').copy('print');");
    Answer("p'1", "print", kPlotSvg);
    EXPECT_FALSE(job->Finished());
    job->Release();
}

}  // namespace
}  // namespace PlotTest
