// spirohost view: the report of a generated recording opened through its view class, written
// as PNG, printed and copied in Chromium; its figures are those of the CSV report of the same
// analysis. The loop view's window, and its print whole at a printer's resolution. And the views
// it cannot open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "RunCommand.h"
#include "graphics/Image.h"
#include "support/PdfRaster.h"
#include "support/TempFolder.h"
#include "web/Browser.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

std::string Bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The loops' line in the flow channel's blue.
bool LineBlue(uint32_t p)
{
    return int(p & 0xFF) > 200 && int(p >> 16 & 0xFF) < 100;
}

// The words of a PDF's text, in reading order.
std::vector<std::string> PdfWords(const std::filesystem::path& pdf)
{
    int status = -1;
    std::istringstream text(RunCommand("pdftotext -raw " + pdf.string() + " - 2>&1", &status));
    EXPECT_EQ(status, 0) << text.str();
    std::vector<std::string> words;
    for (std::string word; text >> word;)
        words.push_back(word);
    return words;
}

// The CSV cell under the heading's line, by column.
std::string CsvCell(const std::filesystem::path& csv, const std::string& heading, size_t column)
{
    std::istringstream in(Bytes(csv));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(heading, 0) != 0 || !std::getline(in, line))
            continue;
        std::istringstream cells(line);
        std::string cell;
        for (size_t i = 0; i <= column && std::getline(cells, cell, ',');)
            ++i;
        while (!cell.empty() && cell.back() == '\r')
            cell.pop_back();
        return cell;
    }
    return "<no " + heading + ">";
}

class ViewCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        int status = -1;
        const std::string out =
            RunCommand(Spirohost() + " generate " + Recording() + " --quiet 3 --forced 1 --seed 5 2>&1", &status);
        ASSERT_EQ(status, 0) << out;
    }
    std::string Recording() const { return (mFolder.Path() / "breathing.edf").string(); }
    std::string Run(const std::string& command, const std::string& options, int* status) const
    {
        return RunCommand(Spirohost() + " " + command + " " + Recording() + " --bundle " + SPIRO_BUNDLE_DIR +
                              " --raw 1 --scale 2 --non-forced " + options + " 2>&1",
                          status);
    }

    TestSupport::TempFolder mFolder;
};

TEST_F(ViewCommand, WritesPrintsAndCopiesTheReportWithTheFiguresOfTheCsvReport)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    const auto png = mFolder.Path() / "report.png";
    const auto pdf = mFolder.Path() / "report.pdf";
    const auto copy = mFolder.Path() / "copy.pdf";
    const auto csv = mFolder.Path() / "report.csv";
    int status = -1;
    std::string out = Run("view", "--view \"Spirometry Report\" --png " + png.string() + " --print " + pdf.string() +
                                      " --copy " + copy.string(),
                          &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("View printed to " + pdf.string()), std::string::npos) << out;
    out = Run("analyse", "--csv " + csv.string(), &status);
    ASSERT_EQ(status, 0) << out;

    EXPECT_EQ(Bytes(png).substr(1, 3), "PNG");
    EXPECT_EQ(Bytes(copy).substr(0, 5), "%PDF-");
    const std::vector<std::string> words = PdfWords(pdf);
    const std::string text = [&] {
        std::string joined;
        for (const std::string& w : words)
            joined += w + " ";
        return joined;
    }();
    // The overall breath count and the minute ventilation, as the CSV report has them.
    const std::string breaths = CsvCell(csv, "Duration (s),Breaths", 1);
    EXPECT_EQ(breaths, "7");
    EXPECT_NE(text.find("Duration (s) Breaths " + CsvCell(csv, "Duration (s),Breaths", 0) + " " + breaths),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("V_E"), std::string::npos) << text;
    EXPECT_NE(text.find(CsvCell(csv, "V_E (L/s)", 0) + " L/s " + CsvCell(csv, "V_E (L/s)", 1) + " L/min"),
              std::string::npos)
        << text;
}

// The plug-in's loop view class, as the main job writes it: the window with the loop drawn in
// the flow channel's colour (#0040ff, blue well above red and green).
TEST_F(ViewCommand, WritesTheLoopViewsWindow)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    const auto png = mFolder.Path() / "loop.png";
    int status = -1;
    const std::string out = Run("view", "--view \"Spirometry Loop View\" --png " + png.string(), &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("View written to " + png.string()), std::string::npos) << out;
    const Gfx::Image image = Gfx::Image::FromPNG(png.string());
    ASSERT_EQ(image.Width(), 600);
    ASSERT_EQ(image.Height(), 500);
    int trace = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t p = image.Pixel(x, y);
            trace += int(p & 0xFF) - std::max(int(p >> 8 & 0xFF), int(p >> 16 & 0xFF)) > 120;
        }
    EXPECT_GT(trace, 500);
}

// In microlitres the figures are wide ("1.64947e+08 µL/min"): the breath table still ends inside
// the window, its forced rows shaded up to the last column and no further.
TEST_F(ViewCommand, TheReportsBreathTableFitsTheWindowInMicrolitres)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    const auto png = mFolder.Path() / "report.png";
    int status = -1;
    const std::string out = Run("view", "--units uL --view \"Spirometry Report\" --png " + png.string(), &status);
    ASSERT_EQ(status, 0) << out;
    const Gfx::Image image = Gfx::Image::FromPNG(png.string());
    int shadedRows = 0, right = 0;
    for (int y = 0; y < image.Height(); ++y) {
        int last = -1;
        for (int x = 0; x < image.Width(); ++x)
            if ((image.Pixel(x, y) & 0x00FFFFFF) == 0x00FDF3E3u || (image.Pixel(x, y) & 0x00FFFFFF) == 0x00E3F3FDu)
                last = x;
        shadedRows += last >= 0;
        right = std::max(right, last);
    }
    EXPECT_GT(shadedRows, 10);
    // The body's margin is 16 pixels.
    EXPECT_LE(right, image.Width() - 16);
}

// A two-line column title of the breath table ("FEV_1 /" over "FVC (%)") keeps a clear row
// between its lines: the underscore must not touch the line below.
TEST_F(ViewCommand, TheBreathTablesTwoLineTitlesKeepTheirLinesApart)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    const auto png = mFolder.Path() / "report.png";
    int status = -1;
    const std::string out = Run("view", "--view \"Spirometry Report\" --png " + png.string(), &status);
    ASSERT_EQ(status, 0) << out;
    const Gfx::Image image = Gfx::Image::FromPNG(png.string());
    auto titleShade = [&](int x, int y) {
        const uint32_t p = image.Pixel(x, y) & 0x00FFFFFF;
        return p == 0x00E4EAF0u || p == 0x00F0EAE4u;
    };
    // The breath table's titles are the widest shaded band.
    int bandTop = -1, bandBottom = -1, bandRight = -1;
    for (int y = 0, top = -1, right = -1; y <= image.Height(); ++y) {
        int last = -1;
        for (int x = 0; y < image.Height() && x < image.Width(); ++x)
            if (titleShade(x, y))
                last = x;
        if (last >= 0) {
            top = top < 0 ? y : top;
            right = std::max(right, last);
        } else if (top >= 0) {
            if (right > bandRight)
                bandTop = top, bandBottom = y, bandRight = right;
            top = right = -1;
        }
    }
    ASSERT_GT(bandRight, 0);
    // The last column's title, right-aligned: its ink rows.
    std::vector<bool> ink;
    for (int y = bandTop; y < bandBottom; ++y) {
        bool any = false;
        for (int x = bandRight - 40; x <= bandRight; ++x) {
            const uint32_t p = image.Pixel(x, y);
            any = any || int(p >> 16 & 0xFF) + int(p >> 8 & 0xFF) + int(p & 0xFF) < 450;
        }
        ink.push_back(any);
    }
    // Runs of ink rows, first and last row of each; an underscore touching the second line joins it.
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < int(ink.size()); ++i)
        if (ink[size_t(i)] && (i == 0 || !ink[size_t(i) - 1]))
            runs.push_back({i, i});
        else if (ink[size_t(i)])
            runs.back().second = i;
    ASSERT_GE(runs.size(), 2u);
    // At least two clear rows between the second line and the ink above it.
    EXPECT_GE(runs.back().first - runs[runs.size() - 2].second, 3)
        << "rows " << bandTop << " to " << bandBottom << " right " << bandRight;
}

// A long report prints its breath table over several pages, each with the column titles.
TEST_F(ViewCommand, APrintedReportRepeatsTheColumnTitlesOnEveryPage)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    int status = -1;
    std::string out = RunCommand(Spirohost() + " generate " + Recording() + " --quiet 40 --forced 1 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    const auto pdf = mFolder.Path() / "report.pdf";
    out = Run("view", "--view \"Spirometry Report\" --print " + pdf.string(), &status);
    ASSERT_EQ(status, 0) << out;
    const std::string info = RunCommand("pdfinfo " + pdf.string() + " 2>&1", &status);
    const size_t at = info.find("Pages:");
    ASSERT_NE(at, std::string::npos) << info;
    const int pages = std::stoi(info.substr(at + 6));
    EXPECT_GE(pages, 2);
    for (int page = 1; page <= pages; ++page) {
        const std::string text = RunCommand("pdftotext -raw -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                                " " + pdf.string() + " - 2>&1",
                                            &status);
        EXPECT_NE(text.find("Breath # Ti (s) Te (s)"), std::string::npos) << "page " << page << ": " << text;
    }
}

// A long report copies what its window shows: one page of the window's size (760 by 900
// points) with the report's top, not the breath rows further down that the print has.
TEST_F(ViewCommand, ACopiedReportIsTheWindowsVisiblePartOnOnePage)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    int status = -1;
    std::string out = RunCommand(Spirohost() + " generate " + Recording() + " --quiet 40 --forced 1 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    const auto copy = mFolder.Path() / "copy.pdf";
    const auto pdf = mFolder.Path() / "report.pdf";
    out = Run("view", "--view \"Spirometry Report\" --copy " + copy.string() + " --print " + pdf.string(), &status);
    ASSERT_EQ(status, 0) << out;
    const std::string info = RunCommand("pdfinfo " + copy.string() + " 2>&1", &status);
    ASSERT_EQ(status, 0) << info;
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    const size_t size = info.find("Page size:");
    ASSERT_NE(size, std::string::npos) << info;
    std::istringstream sizes(info.substr(size + 10));
    double width = 0, height = 0;
    std::string by;
    sizes >> width >> by >> height;
    EXPECT_NEAR(width, 760, 0.5) << info;
    EXPECT_NEAR(height, 900, 0.5) << info;

    const std::string copied = RunCommand("pdftotext -raw " + copy.string() + " - 2>&1", &status);
    const std::string printed = RunCommand("pdftotext -raw " + pdf.string() + " - 2>&1", &status);
    EXPECT_EQ(copied.rfind("Spirometry Report\n", 0), 0u) << copied;
    EXPECT_NE(copied.find("Breath # Ti (s) Te (s)"), std::string::npos) << copied;
    EXPECT_NE(copied.find("\n20 "), std::string::npos) << copied;
    EXPECT_NE(printed.find("\n70 "), std::string::npos) << printed;
    EXPECT_EQ(copied.find("\n70 "), std::string::npos) << copied;
    EXPECT_EQ(copied.find("Overall"), std::string::npos) << copied;
}

TEST_F(ViewCommand, RefusesViewsItCannotOpen)
{
    const std::string png = (mFolder.Path() / "view.png").string();
    const struct {
        std::string options;
        std::string message;
    } cases[] = {
        {"--view Nothing --png " + png, "no class \"Nothing\""},
        {"--view \"Spirometry Report\" --settle -1", "--settle"},
        {"", "--view"},
    };
    for (const auto& c : cases) {
        int status = 0;
        const std::string out = Run("view", c.options, &status);
        EXPECT_NE(status, 0) << c.options;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.options << ": " << out;
    }
}

// With a home of its own and the variables of the folders a user's settings and caches go to
// naming folders that are not there: the view writes nothing in the home, makes none of them,
// and leaves nothing in the temporary folder, which is TMPDIR's.
TEST_F(ViewCommand, AViewWritesNothingInTheHomeAndLeavesNothingInTheTemporaryFolder)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    for (const char* folder : {"home", "tmp"})
        std::filesystem::create_directory(mFolder.Path() / folder);
    const std::string in = mFolder.Path().string() + "/";
    const std::string variables = "HOME=" + in + "home XDG_CONFIG_HOME=" + in + "config XDG_CACHE_HOME=" + in +
                                  "cache XDG_DATA_HOME=" + in + "data XDG_RUNTIME_DIR=" + in + "run TMPDIR=" + in + "tmp";
    int status = -1;
    const std::string out = RunCommand("env " + variables + " " + Spirohost() + " view " + Recording() +
                                           " --raw 1 --scale 2 --non-forced --view \"Spirometry Report\" --png " + in +
                                           "report.png --copy " + in + "copy.pdf 2>&1",
                                       &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(Bytes(in + "copy.pdf").substr(0, 5), "%PDF-");
    EXPECT_TRUE(std::filesystem::is_empty(in + "home"));
    EXPECT_TRUE(std::filesystem::is_empty(in + "tmp"));
    for (const char* missing : {"config", "cache", "data", "run"})
        EXPECT_FALSE(std::filesystem::exists(in + missing)) << missing;
}

// The folders in /tmp of the browsers' short ways to their scratch folders whose hosts are gone:
// what a view left behind there.
std::vector<std::string> ShortWaysLeft()
{
    static const std::regex shortWay("spiro-browser-([0-9]+)-.*");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp")) {
        const std::string name = entry.path().filename().string();
        std::smatch host;
        if (std::regex_match(name, host, shortWay) && ::kill(std::stoi(host[1]), 0) != 0 && errno == ESRCH)
            left.push_back(name);
    }
    return left;
}

// However deep the temporary folder, as a service's or a job scheduler's is, the browser's
// sockets find room: the view is drawn as in a short one, and leaves nothing behind in it nor in
// /tmp, where the browser's short way to its scratch folder goes.
TEST_F(ViewCommand, AViewWorksWithADeepTemporaryFolderAndLeavesNothingBehind)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    const std::string png = (mFolder.Path() / "loop.png").string();
    std::string drawn;
    const TestSupport::TempFolder shallow(TestSupport::TempFolder::ShortestBase());
    for (const size_t length : {size_t(20), size_t(48), size_t(80), size_t(120)}) {
        const std::string tmp = shallow.MakeFolderOfLength(length).string();
        ASSERT_EQ(tmp.size(), length);
        int status = -1;
        const std::string out = RunCommand("env TMPDIR=" + tmp + " " + Spirohost() + " view " + Recording() +
                                               " --raw 1 --scale 2 --view \"Spirometry Loop View\" --png " + png + " 2>&1",
                                           &status);
        ASSERT_EQ(status, 0) << length << ": " << out;
        if (drawn.empty())
            drawn = Bytes(png);
        EXPECT_EQ(Bytes(png), drawn) << length;
        EXPECT_TRUE(std::filesystem::is_empty(tmp)) << length;
        EXPECT_EQ(ShortWaysLeft(), std::vector<std::string>{}) << length;
    }
}

// SIGINT, SIGTERM and SIGHUP while the view's pages settle, with a short and a deep temporary
// folder: the view ends by the signal, writes nothing, and leaves nothing in the temporary
// folder nor in /tmp.
TEST_F(ViewCommand, ASignalEndsAViewAndLeavesNothingInTheTemporaryFolder)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    const auto png = mFolder.Path() / "report.png";
    const TestSupport::TempFolder shallow(TestSupport::TempFolder::ShortestBase());
    for (const size_t length : {size_t(21), size_t(80)}) {
        const auto tmp = shallow.Path() / std::string(length - shallow.Path().string().size() - 1, 't');
        const std::string line = "exec env TMPDIR=" + tmp.string() + " " + Spirohost() + " view " + Recording() +
                                 " --raw 1 --scale 2 --view \"Spirometry Report\" --settle 60 --png " + png.string() +
                                 " >/dev/null 2>&1";
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            std::filesystem::create_directory(tmp);
            const pid_t view = fork();
            if (view == 0) {
                for (const int s : {SIGINT, SIGTERM, SIGHUP})
                    ::signal(s, SIG_DFL);
                execl("/bin/sh", "sh", "-c", line.c_str(), nullptr);
                _exit(127);
            }
            // The browser's profile folder is there once the browser starts.
            for (int i = 0; i < 3000 && std::filesystem::is_empty(tmp); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            EXPECT_FALSE(std::filesystem::is_empty(tmp)) << strsignal(signal) << ", " << length;
            ::kill(view, signal);
            int status = 0;
            ASSERT_EQ(waitpid(view, &status, 0), view);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal) << ": " << status;
            EXPECT_TRUE(std::filesystem::is_empty(tmp)) << strsignal(signal) << ", " << length;
            EXPECT_EQ(ShortWaysLeft(), std::vector<std::string>{}) << strsignal(signal) << ", " << length;
            EXPECT_FALSE(std::filesystem::exists(png)) << strsignal(signal);
            std::filesystem::remove_all(tmp);
        }
    }
}

}  // namespace

// The printed loop view hangs the x axis's figures below the plot's frame, as the window does,
// not across its bottom line.
TEST_F(ViewCommand, ThePrintedLoopViewsAxisFiguresLieBelowTheFrame)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    const auto pdf = mFolder.Path() / "loop.pdf";
    int status = -1;
    const std::string out = Run("view", "--view \"Spirometry Loop View\" --print " + pdf.string(), &status);
    ASSERT_EQ(status, 0) << out;
    // The figures' word boxes, by the top of the box: the x axis's are the most on one line.
    const std::string boxes = RunCommand("pdftotext -bbox " + pdf.string() + " - 2>&1", &status);
    ASSERT_EQ(status, 0) << boxes;
    static const std::regex word(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">(-?[0-9.]+)</word>");
    std::map<long, std::vector<std::pair<double, double>>> lines;  // top in hundredths: left, right
    for (std::sregex_iterator it(boxes.begin(), boxes.end(), word), end; it != end; ++it)
        lines[std::lround(std::stod((*it)[2]) * 100)].push_back({std::stod((*it)[1]), std::stod((*it)[3])});
    const auto axis = std::max_element(lines.begin(), lines.end(),
                                       [](const auto& a, const auto& b) { return a.second.size() < b.second.size(); });
    ASSERT_NE(axis, lines.end());
    ASSERT_GE(axis->second.size(), 5u) << boxes;
    const double top = axis->first / 100.0;
    int left = int(axis->second.front().first), right = left;
    for (const auto& [from, to] : axis->second)
        left = std::min(left, int(from)), right = std::max(right, int(to));
    // The frame's bottom: the lowest row above the figures dark nearly all across them.
    const Gfx::Image page = TestSupport::RasterizePDF(Bytes(pdf));
    ASSERT_FALSE(page.IsEmpty());
    int frame = -1;
    for (int y = 0; y < std::min(page.Height(), int(top) + 10); ++y) {
        int dark = 0;
        for (int x = left; x < right && x < page.Width(); ++x) {
            const uint32_t p = page.Pixel(x, y);
            dark += int(p >> 16 & 0xFF) + int(p >> 8 & 0xFF) + int(p & 0xFF) < 450;
        }
        if (dark > (right - left) * 9 / 10)
            frame = y;
    }
    ASSERT_GT(frame, 0) << "figures from " << left << " to " << right << " at " << top;
    EXPECT_GT(top, frame + 1) << "the frame's bottom at " << frame;
}

namespace {

// Across the top of the highest arc of a printed loop, where the line runs nearly level, the
// columns of pixels at a printer's 600 dpi that hold none of its ink; -1 when there is no arc.
int BareColumnsAcrossTheArcsTop(const std::string& pdf)
{
    // The arc's top at 72 dpi: its highest blue pixel, and the run of columns on either side of
    // it that are blue within 3 points below it (not those of another arc beside it).
    const Gfx::Image page = TestSupport::RasterizePDF(pdf);
    int top = -1, left = -1;
    for (int y = 0; y < page.Height() && top < 0; ++y)
        for (int x = 0; x < page.Width() && top < 0; ++x)
            if (LineBlue(page.Pixel(x, y)))
                top = y, left = x;
    const auto blueColumn = [&](int x) {
        for (int y = top; x >= 0 && x < page.Width() && y <= top + 3 && y < page.Height(); ++y)
            if (LineBlue(page.Pixel(x, y)))
                return true;
        return false;
    };
    int right = left;
    while (top >= 0 && blueColumn(left - 1))
        --left;
    while (top >= 0 && blueColumn(right + 1))
        ++right;
    EXPECT_GT(right - left, 40) << "the arc's top from " << left << " to " << right << " at " << top;
    if (right - left <= 40)
        return -1;
    // The same columns at 600 dpi, from above the top to below where the line has come down to.
    constexpr int kDpi = 600;
    const auto at = [](int points) { return points * kDpi / 72; };
    const Gfx::Image arc = TestSupport::RasterizePDFRegion(pdf, kDpi, at(left), at(top - 3), at(right - left), at(9));
    EXPECT_EQ(arc.Width(), at(right - left));
    int bare = 0;
    for (int x = 0; x < arc.Width(); ++x) {
        bool inked = false;
        for (int y = 0; y < arc.Height() && !inked; ++y)
            inked = LineBlue(arc.Pixel(x, y));
        bare += !inked;
    }
    return bare;
}

}  // namespace

// The sample's loops printed: the line is whole on paper at a printer's 600 dpi, not a row of
// ticks. Across the top of the forced breath's arc every column of pixels holds some of its ink.
TEST_F(ViewCommand, ThePrintedLoopIsWholeAtAPrintersResolution)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    const auto pdf = mFolder.Path() / "sample-loop.pdf";
    int status = -1;
    const std::string out = RunCommand(Spirohost() + " view " + SPIRO_TEST_DATA_DIR + "/sample.edf --bundle " +
                                           SPIRO_BUNDLE_DIR + " --raw 1 --scale 2 --view \"Spirometry Loop View\" --print " +
                                           pdf.string() + " 2>&1",
                                       &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(BareColumnsAcrossTheArcsTop(Bytes(pdf)), 0);
}

// An hour of breathing: the loop view's line over it, as the screen keeps it, makes a printable
// SVG past what one call from the page may carry (8 MB; 150 quiet breaths stay within it).
// Reduced to the paper's resolution it prints, with the loops drawn.
TEST_F(ViewCommand, ALongRecordingsLoopViewPrints)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    int status = -1;
    std::string out = RunCommand(Spirohost() + " generate " + Recording() + " --quiet 200 --forced 4 --seed 5 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    const auto pdf = mFolder.Path() / "loop.pdf";
    out = Run("view", "--view \"Spirometry Loop View\" --print " + pdf.string(), &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("View printed to " + pdf.string()), std::string::npos) << out;
    const Gfx::Image page = TestSupport::RasterizePDF(Bytes(pdf));
    ASSERT_FALSE(page.IsEmpty());
    // The loops are drawn in the flow channel's blue: a band of it, not a stray line.
    int blue = 0;
    for (int y = 0; y < page.Height(); ++y)
        for (int x = 0; x < page.Width(); ++x)
            blue += LineBlue(page.Pixel(x, y));
    EXPECT_GT(blue, page.Width() * page.Height() / 200) << "blue pixels " << blue;
}

// An hour of breathing through a noisy flow head (0.02 L/s): nearly every point moves by pixels,
// within the band of loops the hour inks. Printed and copied, the loop is bounded by that ink,
// well inside the 8 MB a call from the page may carry, and whole at 600 dpi.
TEST_F(ViewCommand, ANoisyLongRecordingsLoopPrintsAndCopiesWhole)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    int status = -1;
    std::string out = RunCommand(Spirohost() + " generate " + Recording() +
                                     " --quiet 300 --forced 2 --noise 0.02 --seed 2 2>&1",
                                 &status);
    ASSERT_EQ(status, 0) << out;
    const auto pdf = mFolder.Path() / "loop.pdf", copy = mFolder.Path() / "copy.pdf";
    out = Run("view", "--view \"Spirometry Loop View\" --print " + pdf.string() + " --copy " + copy.string(), &status);
    ASSERT_EQ(status, 0) << out;
    for (const auto& written : {pdf, copy}) {
        EXPECT_LT(std::filesystem::file_size(written), 2u << 20) << written;
        EXPECT_EQ(BareColumnsAcrossTheArcsTop(Bytes(written)), 0) << written;
    }
}

// A night's report: 11 hours, 10,802 breaths. Laying its table out for print may keep the page
// busy past a call's 10 s; the page is working, not stopped, so the print has every row on
// its pages, and the copy the window's part on one page. Its 143 pages of text print small.
TEST_F(ViewCommand, ANightsReportPrintsEveryRowAndCopies)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    int status = -1;
    std::string out = RunCommand(Spirohost() + " generate " + Recording() +
                                     " --rate 100 --quiet 3600 --forced 2 --noise 0 --seed 3 2>&1",
                                 &status);
    ASSERT_EQ(status, 0) << out;
    const auto pdf = mFolder.Path() / "report.pdf", copy = mFolder.Path() / "copy.pdf";
    out = Run("view", "--drift-correction --view \"Spirometry Report\" --print " + pdf.string() + " --copy " +
                          copy.string(),
              &status);
    ASSERT_EQ(status, 0) << out;
    // A row's line: its number, its kind when forced, then its durations.
    static const std::regex row("^([0-9]+)( \\(forced\\))? [0-9.]+ [0-9.]+ [0-9.]+ ");
    const auto rows = [](const std::filesystem::path& file) {
        int read = -1;
        std::istringstream text(RunCommand("pdftotext -raw " + file.string() + " - 2>&1", &read));
        EXPECT_EQ(read, 0) << text.str();
        std::set<long> numbers;
        std::smatch match;
        for (std::string line; std::getline(text, line);)
            if (std::regex_search(line, match, row))
                numbers.insert(std::stol(match[1]));
        return numbers;
    };
    EXPECT_LT(std::filesystem::file_size(pdf), 4u << 20);
    const std::set<long> printed = rows(pdf);
    EXPECT_EQ(printed.size(), 10802u);
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(*printed.begin(), 1);
    EXPECT_EQ(*printed.rbegin(), 10802);
    const std::set<long> copied = rows(copy);
    ASSERT_FALSE(copied.empty());
    EXPECT_EQ(*copied.begin(), 1);
    EXPECT_LT(copied.size(), 100u);

    // Printed a few pages at a time, its pages are still those of one print: the heading on the
    // first, the column titles atop every other, each page between as full as the next, the
    // summary on the last alone.
    int read = -1;
    std::istringstream text(RunCommand("pdftotext -raw " + pdf.string() + " - 2>&1", &read));
    ASSERT_EQ(read, 0) << text.str();
    std::vector<std::string> firstLines;
    std::vector<int> rowsOnPage;
    std::vector<bool> summaries;
    for (std::string page; std::getline(text, page, '\f');) {
        if (page.find_first_not_of(" \n") == std::string::npos)
            continue;
        std::istringstream lines(page);
        std::string line;
        std::getline(lines, line);
        firstLines.push_back(line.substr(0, line.find(' ', line.find(' ') + 1)));
        rowsOnPage.push_back(0);
        summaries.push_back(page.find("\nOverall\n") != std::string::npos);
        std::smatch match;
        for (; std::getline(lines, line);)
            rowsOnPage.back() += std::regex_search(line, match, row) ? 1 : 0;
    }
    ASSERT_EQ(firstLines.size(), 143u);
    EXPECT_EQ(firstLines.front(), "Spirometry Report");
    EXPECT_EQ(std::count(firstLines.begin() + 1, firstLines.end(), "Breath #"), 142);
    EXPECT_EQ(std::count(rowsOnPage.begin() + 1, rowsOnPage.end() - 1, rowsOnPage[1]), 141) << rowsOnPage[1];
    EXPECT_EQ(std::count(summaries.begin(), summaries.end(), true), 1);
    EXPECT_TRUE(summaries.back());
}
