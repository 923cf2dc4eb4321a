// The web view keeps its page and renders it through headless Chromium, alone and in a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "appkit/Window.h"
#include "graphics/Image.h"
#include "web/Browser.h"
#include "web/WebView.h"
#include "support/TempFolder.h"

namespace {

TEST(WebView, KeepsThePageAndTheResourcesItNames)
{
    Web::WebView view(AppKit::Rect{0, 0, 200, 100});
    EXPECT_FALSE(view.RenderToPng(::testing::TempDir() + "none.png"));  // no page yet
    view.LoadHTMLString("<html><head><script src=\"plot.js\"></script><link href='plot.css' rel=stylesheet>"
                        "</head><body><img SRC=\"logo.png\"></body></html>",
                        "file:///bundle/Resources");
    EXPECT_EQ(view.LoadCount(), 1);
    EXPECT_EQ(view.BaseURL(), "file:///bundle/Resources");
    EXPECT_EQ(view.ResourcesNamed(), (std::vector<std::string>{"plot.js", "plot.css", "logo.png"}));
    view.LoadHTMLString("<p>again</p>", "");
    EXPECT_EQ(view.PageText(), "<p>again</p>");
    EXPECT_TRUE(view.ResourcesNamed().empty());
}

// What the command prints on standard output.
std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// Each page's size in whole points, as pdfinfo gives them.
std::vector<std::pair<int, int>> PdfPageSizes(const std::string& pdf)
{
    std::istringstream info(Output("pdfinfo -f 1 -l 1000 " + pdf + " 2>&1"));
    std::vector<std::pair<int, int>> sizes;
    for (std::string line; std::getline(info, line);) {
        const size_t at = line.find(" size:");
        if (line.rfind("Page", 0) != 0 || at == std::string::npos)
            continue;
        std::istringstream size(line.substr(at + 6));
        double width = 0, height = 0;
        std::string by;
        size >> width >> by >> height;
        sizes.emplace_back(int(std::lround(width)), int(std::lround(height)));
    }
    return sizes;
}

class Chromium : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    }
    // A folder of this run's own, so that runs side by side never share files.
    std::string Temp(const std::string& name) const { return (mFolder.Path() / name).string(); }

    TestSupport::TempFolder mFolder;
};

// The page's colour comes from a style sheet beside it, found through the base URL.
TEST_F(Chromium, RendersAPageWithItsResourcesToPngAndPdf)
{
    const std::string folder = Temp("webres");
    ::mkdir(folder.c_str(), 0755);
    std::ofstream(folder + "/page.css") << "body { margin: 0; background: rgb(255, 0, 0); }";
    Web::WebView view(AppKit::Rect{0, 0, 160, 120});
    view.LoadHTMLString("<html><head><link rel=\"stylesheet\" href=\"page.css\"></head><body>Breaths</body></html>",
                        "file://" + folder);
    const std::string png = Temp("page.png");
    ASSERT_TRUE(view.RenderToPng(png));
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    ASSERT_EQ(image.Width(), 160);
    ASSERT_EQ(image.Height(), 120);
    EXPECT_EQ(image.Pixel(150, 110) & 0x00FFFFFF, 0x00FF0000u);  // the style sheet's red

    const std::string pdf = Temp("page.pdf");
    ASSERT_TRUE(view.RenderToPdf(pdf));
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(&head[0], 5);
    EXPECT_EQ(head, "%PDF-");
}

// In a window the web view shows the page at its frame, beside the window's other views; its
// PDF is what it shows, not the view's empty drawing.
TEST_F(Chromium, AWindowShowsItsWebViewAndTheViewCopiesWhatItShows)
{
    AppKit::Window window(AppKit::Rect{0, 0, 200, 150}, "Report");
    window.SetContentView(std::make_unique<AppKit::View>(AppKit::Rect{0, 0, 200, 150}));
    auto& label = static_cast<AppKit::Label&>(
        window.ContentView().AddSubview(std::make_unique<AppKit::Label>(AppKit::Rect{0, 0, 200, 30})));
    label.SetText("Breaths");
    auto& web = static_cast<Web::WebView&>(
        window.ContentView().AddSubview(std::make_unique<Web::WebView>(AppKit::Rect{20, 40, 160, 100})));
    web.LoadHTMLString("<body style='margin:0;background:rgb(0,128,0)'>"
                       "<div style='margin-left:80px;height:100px;background:rgb(255,255,0)'></div></body>",
                       "");
    const std::string png = Temp("window-with-page.png");
    ASSERT_TRUE(window.RenderToPng(png));
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    ASSERT_EQ(image.Width(), 200);
    EXPECT_EQ(image.Pixel(10, 145) & 0x00FFFFFF, 0x00FFFFFFu);   // the window's ground
    EXPECT_EQ(image.Pixel(30, 100) & 0x00FFFFFF, 0x00008000u);   // the page's green
    EXPECT_EQ(image.Pixel(170, 130) & 0x00FFFFFF, 0x00FFFF00u);  // its yellow div
    EXPECT_EQ(image.Pixel(190, 100) & 0x00FFFFFF, 0x00FFFFFFu);  // outside the web view again

    // Its copy is what it shows, on one page of its size, not the page printed on A4.
    const std::string pdf = web.DataWithPDFInsideRect(web.VisibleRect());
    EXPECT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    const std::string path = Temp("copy.pdf");
    std::ofstream(path, std::ios::binary) << pdf;
    EXPECT_EQ(PdfPageSizes(path), (std::vector<std::pair<int, int>>{{160, 100}}));
    const std::string drawn = Temp("copy");
    ASSERT_EQ(Output("pdftoppm -png -r 72 -singlefile " + path + " " + drawn), "");
    const Gfx::Image copied = Gfx::Image::FromPNG(drawn + ".png");
    ASSERT_GE(copied.Width(), 160);  // the browser's paper may be a tenth of a point wider
    EXPECT_EQ(copied.Pixel(10, 60) & 0x00FFFFFF, 0x00008000u);   // the green
    EXPECT_EQ(copied.Pixel(150, 90) & 0x00FFFFFF, 0x00FFFF00u);  // the yellow div
}

// A page scrolled down copies the part it shows: the rectangle from its view's top-left
// corner, in screen media with the page's ground, on one page of the rectangle's size.
// Afterwards the page is as it was.
TEST_F(Chromium, ACopyIsThePartOfTheScrolledPageWithinTheRectangle)
{
    Web::WebView web(AppKit::Rect{0, 0, 300, 200});
    std::string blocks;
    for (int i = 0; i < 30; ++i)
        blocks += "<div style='height:100px'>Block" + std::to_string(i) + "</div>";
    web.LoadHTMLString("<style>@media print { .screen { display: none } } @media screen { .print { display: none } }"
                       "</style><body style='margin:0;background:rgb(0,0,255);color:white'>"
                       "<div style='position:absolute;top:1010px;left:200px'><span class=screen>Screen</span>"
                       "<span class=print>Printed</span></div>" +
                           blocks + "</body>",
                       "");
    ASSERT_EQ(web.StringByEvaluatingJavaScriptFromString("scrollTo(0, 1000); String(scrollY)"), "1000");

    const std::string whole = Temp("whole.pdf");
    std::ofstream(whole, std::ios::binary) << web.DataWithPDFInsideRect(web.VisibleRect());
    EXPECT_EQ(PdfPageSizes(whole), (std::vector<std::pair<int, int>>{{300, 200}}));
    std::vector<std::string> words = Words(Output("pdftotext " + whole + " -"));
    std::sort(words.begin(), words.end());
    EXPECT_EQ(words, (std::vector<std::string>{"Block10", "Block11", "Screen"}));
    const std::string drawn = Temp("whole");
    ASSERT_EQ(Output("pdftoppm -png -r 72 -singlefile " + whole + " " + drawn), "");
    const Gfx::Image image = Gfx::Image::FromPNG(drawn + ".png");
    ASSERT_EQ(image.Height(), 200);
    EXPECT_EQ(image.Pixel(150, 190) & 0x00FFFFFF, 0x000000FFu);  // the page's ground

    const std::string part = Temp("part.pdf");
    std::ofstream(part, std::ios::binary) << web.DataWithPDFInsideRect(AppKit::Rect{0, 100, 300, 100});
    EXPECT_EQ(PdfPageSizes(part), (std::vector<std::pair<int, int>>{{300, 100}}));
    EXPECT_EQ(Words(Output("pdftotext " + part + " -")), std::vector<std::string>{"Block11"});

    EXPECT_EQ(web.StringByEvaluatingJavaScriptFromString(
                  "[scrollY, document.adoptedStyleSheets.length, getComputedStyle(document.documentElement).transform,"
                  " matchMedia('print').matches].join()"),
              "1000,0,none,false");
    EXPECT_TRUE(web.DrawingFailure().empty()) << web.DrawingFailure();
}

// A long table's copy lays out only the rows the rectangle shows (the print's layout of every
// row took gigabytes), with the columns as wide as on the screen; afterwards the page is as it
// was.
TEST_F(Chromium, ACopyOfALongTableLaysOutOnlyTheRowsItShows)
{
    Web::WebView web(AppKit::Rect{0, 0, 300, 200});
    std::string rows = "<tr><td>The widest title of all</td><td></td></tr>";
    for (int i = 1; i < 400; ++i)
        rows += "<tr><td>Row" + std::to_string(i) + "</td><td></td></tr>";
    web.LoadHTMLString("<style>body { margin: 0; } table { border-collapse: collapse; }"
                       " td { height: 20px; padding: 0; } td + td { width: 40px; background: rgb(0,128,0); }</style>"
                       "<script>addEventListener('beforeprint', function () {"
                       " window.laidOut = Array.prototype.filter.call(document.querySelectorAll('td:first-child'),"
                       " function (cell) { return cell.getClientRects().length > 0 && cell.textContent; }).length; });"
                       "</script><body><table>" +
                           rows + "</table></body>",
                       "");
    ASSERT_EQ(web.StringByEvaluatingJavaScriptFromString("scrollTo(0, 4000); String(scrollY)"), "4000");
    const std::string green =
        web.StringByEvaluatingJavaScriptFromString("String(document.querySelector('td + td').getBoundingClientRect().left)");
    ASSERT_GT(std::stoi(green), 100);

    const std::string part = Temp("rows.pdf");
    std::ofstream(part, std::ios::binary) << web.DataWithPDFInsideRect(AppKit::Rect{0, 20, 300, 100});
    EXPECT_EQ(Words(Output("pdftotext " + part + " -")),
              (std::vector<std::string>{"Row201", "Row202", "Row203", "Row204", "Row205"}));
    EXPECT_EQ(web.StringByEvaluatingJavaScriptFromString("String(window.laidOut)"), "5");
    const std::string drawn = Temp("rows");
    ASSERT_EQ(Output("pdftoppm -png -r 72 -singlefile " + part + " " + drawn), "");
    const Gfx::Image image = Gfx::Image::FromPNG(drawn + ".png");
    EXPECT_EQ(image.Pixel(std::stoi(green) + 2, 50) & 0x00FFFFFF, 0x00008000u);
    EXPECT_EQ(image.Pixel(std::stoi(green) - 2, 50) & 0x00FFFFFF, 0x00FFFFFFu);

    EXPECT_EQ(web.StringByEvaluatingJavaScriptFromString(
                  "[scrollY, document.querySelectorAll('tr').length, document.querySelectorAll('[style]').length,"
                  " document.querySelector('tr:last-child').getClientRects().length,"
                  " document.querySelectorAll('td')[401].attributes.length + document.querySelectorAll('td')[403].attributes.length].join()"),
              "4000,400,0,1,0");
    EXPECT_TRUE(web.DrawingFailure().empty()) << web.DrawingFailure();
}

// A long table is printed a few pages at a time, each print starting where a page of the whole
// print starts: the pages are those of one print (the heading on the first, the column titles
// atop each, the summary on the last), and no print lays out all the rows.
TEST_F(Chromium, ALongTablePrintsAFewPagesAtATimeOnTheWholePrintsPages)
{
    Web::WebView web(AppKit::Rect{0, 0, 400, 300});
    std::string rows;
    for (int i = 1; i <= 2000; ++i)
        rows += "<tr><td>Row" + std::to_string(i) + "</td></tr>";
    web.LoadHTMLString("<style>body { margin: 16px; font: 12px/14px sans-serif; } @media print { body { margin: 0; } }"
                       " h1 { height: 100px; margin: 0; font-size: 12px; }"
                       " table { border-collapse: collapse; margin: 4px 0; }"
                       " th, td { height: 20px; padding: 0; } tr { break-inside: avoid; } div { height: 40px; }</style>"
                       "<script>addEventListener('beforeprint', function () {"
                       " window.laidOut = Math.max(window.laidOut || 0, Array.prototype.filter.call("
                       "document.querySelectorAll('td'),"
                       " function (cell) { return cell.getClientRects().length > 0; }).length); });"
                       "</script><body><h1>Heading</h1><table><thead><tr><th>Title</th></tr></thead><tbody>" +
                           rows + "</tbody></table><div>Summary</div></body>",
                       "");
    ASSERT_EQ(web.StringByEvaluatingJavaScriptFromString("scrollTo(0, 4000); String(scrollY)"), "4000");

    // 1010 px high pages: the first holds the heading, the titles and 44 rows, the others the
    // titles and 49 rows, the last 45 rows and the summary.
    Web::PrintInfo paper;
    paper.paperWidth = 300;
    paper.paperHeight = 757.5;
    paper.top = paper.left = paper.bottom = paper.right = 0;
    const std::string pdf = Temp("long.pdf");
    ASSERT_TRUE(web.RenderToPdf(pdf, paper)) << web.DrawingFailure();
    std::vector<std::vector<std::string>> expected(1, std::vector<std::string>{"Heading"});
    for (int row = 1, onPage = 0; row <= 2000; ++row, ++onPage) {
        if (row == 45 || (row > 45 && onPage == 49)) {
            expected.emplace_back();
            onPage = 0;
        }
        if (onPage == 0)
            expected.back().push_back("Title");
        expected.back().push_back("Row" + std::to_string(row));
    }
    expected.back().push_back("Summary");
    ASSERT_EQ(expected.size(), 41u);
    std::vector<std::vector<std::string>> pages;
    std::istringstream text(Output("pdftotext " + pdf + " -"));
    for (std::string page; std::getline(text, page, '\f');)
        pages.push_back(Words(page));
    pages.erase(std::remove_if(pages.begin(), pages.end(), [](const auto& words) { return words.empty(); }),
                pages.end());
    EXPECT_EQ(pages, expected);

    const int laidOut = std::stoi(web.StringByEvaluatingJavaScriptFromString("String(window.laidOut)"));
    EXPECT_GT(laidOut, 0);
    EXPECT_LE(laidOut, 400);
    // The page is as it was.
    EXPECT_EQ(web.StringByEvaluatingJavaScriptFromString(
                  "[scrollY, document.querySelectorAll('[data-host-area-hidden], [data-host-area-flat],"
                  " [data-host-area-width]').length, document.adoptedStyleSheets.length,"
                  " document.querySelector('tr:last-child').getClientRects().length].join()"),
              "4000,0,0,1");
}

}  // namespace
