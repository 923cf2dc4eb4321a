// The report of a generated recording from the bundle's own templates, in Chromium: printed to
// PDF, it reads the breath count and the minute ventilation of the CSV report; its window shows
// the page.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ReportViewHost.h"
#include "appkit/Window.h"
#include "graphics/Image.h"
#include "host/views/ViewCommands.h"
#include "web/Browser.h"

using namespace ViewsTest;

namespace {

std::string Bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The PDF's text with every run of white space made one blank.
std::string PdfText(const std::filesystem::path& pdf)
{
    FILE* pipe = popen(("pdftotext -raw " + pdf.string() + " - 2>/dev/null").c_str(), "r");
    std::string text;
    std::array<char, 4096> chunk;
    while (size_t n = fread(chunk.data(), 1, chunk.size(), pipe))
        text.append(chunk.data(), n);
    pclose(pipe);
    std::string words;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f';
        if (!blank)
            words += c;
        else if (!words.empty() && words.back() != ' ')
            words += ' ';
    }
    return words;
}

class ReportLive : public ReportViewHost {
protected:
    void SetUp() override
    {
        ReportViewHost::SetUp();
        Web::Page::SetFactory(nullptr);
        std::map<std::string, std::string> templates;
        for (const auto& [name, echo] : kEchoTemplates)
            templates[name] = Bytes(std::filesystem::path(SPIRO_BUNDLE_DIR) / "Resources" / "report" / (name + ".html"));
        WriteTemplates(templates);
    }
};

TEST_F(ReportLive, PrintedWithTheBreathCountAndTheMinuteVentilation)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    OpenReport();
    const auto pdf = mBundle.Path() / "report.pdf";
    ASSERT_EQ(Host::ViewCommands::PrintToPdf(mOpened.DocView(), pdf.string()), KVD_S_OK);
    const std::string text = PdfText(pdf);
    // The figures of the small recording's CSV report.
    EXPECT_NE(text.find("Overall Duration (s) Breaths 22.16 5"), std::string::npos) << text;
    EXPECT_NE(text.find("Non-forced Duration (s) Breaths 15.16 4"), std::string::npos) << text;
    EXPECT_NE(text.find("V_E (per second)"), std::string::npos) << text;
    // The section and column titles the CSV report has.
    EXPECT_NE(text.find("Flow Volume Cycle Detection Level Forced Expiration Threshold"), std::string::npos) << text;
    EXPECT_NE(text.find("Non-forced breaths V_E"), std::string::npos) << text;
    EXPECT_NE(text.find("0.135152 L/s 8.10911 L/min 0.512226 L 0.263852 15.8311"), std::string::npos) << text;
    EXPECT_NE(text.find("3 (forced) 1.98 5.02 7 2.749 L/s 164.94 L/min 6.86175 L/s 411.705 L/min 3.4651 L "
                        "2.9963 L 86.4707"),
              std::string::npos)
        << text;

    const auto png = mBundle.Path() / "report.png";
    auto* window = static_cast<AppKit::Window*>(mView->GetNativeWindow());
    ASSERT_TRUE(window->RenderToPng(png.string()));
    const Gfx::Image image = Gfx::Image::FromPNG(png.string());
    EXPECT_EQ(image.Width(), 760);
    // The forced breath's row is shaded.
    bool shaded = false;
    for (int y = 0; y < image.Height() && !shaded; ++y)
        shaded = (image.Pixel(40, y) & 0x00FFFFFF) == 0x00E3F3FDu || (image.Pixel(40, y) & 0x00FFFFFF) == 0x00FDF3E3u;
    EXPECT_TRUE(shaded);
}

}  // namespace
