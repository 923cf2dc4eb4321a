// The pages of printed PDFs are counted and joined, a part's first pages at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/PdfPages.h"

namespace {

// A PDF of that many empty pages of that width (points, square), its cross-reference exact.
std::string BlankPdf(int pages, int width)
{
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>"};
    std::string kids;
    for (int page = 0; page < pages; ++page)
        kids += std::to_string(page + 3) + " 0 R ";
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    for (int page = 0; page < pages; ++page)
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(width) + " " +
                          std::to_string(width) + "] >>");
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        const std::string digits = std::to_string(offset);
        pdf += std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
    }
    return pdf + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
}

// Each page's width, in order.
std::vector<int> PageWidths(const std::string& pdf)
{
    std::vector<int> widths;
    for (size_t at = pdf.find("/MediaBox"); at != std::string::npos; at = pdf.find("/MediaBox", at + 1))
        widths.push_back(std::stoi(pdf.substr(pdf.find('[', at) + 5)));
    return widths;
}

TEST(PdfPages, CountsAPdfsPagesAndNoneOfWhatIsNoPdf)
{
    EXPECT_EQ(Web::PdfPageCount(BlankPdf(3, 100)), 3);
    EXPECT_EQ(Web::PdfPageCount(BlankPdf(1, 100)), 1);
    EXPECT_EQ(Web::PdfPageCount("%PDF-1.4\nnothing more"), 0);
    EXPECT_EQ(Web::PdfPageCount(""), 0);
}

TEST(PdfPages, JoinsTheFirstPagesOfEachPartInOrder)
{
    std::string joined, error;
    ASSERT_TRUE(Web::JoinPdfParts({{BlankPdf(3, 100), 2}, {BlankPdf(2, 200), 2}, {BlankPdf(4, 300), 1}}, joined,
                                  error))
        << error;
    EXPECT_EQ(Web::PdfPageCount(joined), 5);
    EXPECT_EQ(PageWidths(joined), (std::vector<int>{100, 100, 200, 200, 300}));
    EXPECT_EQ(joined.rfind("%PDF-", 0), 0u);
}

TEST(PdfPages, APartTooShortOrUnreadableJoinsNothing)
{
    std::string joined = "kept", error;
    EXPECT_FALSE(Web::JoinPdfParts({{BlankPdf(3, 100), 2}, {BlankPdf(2, 200), 3}}, joined, error));
    EXPECT_EQ(error, "a printed part has 2 pages, not 3");
    EXPECT_EQ(joined, "kept");
    EXPECT_FALSE(Web::JoinPdfParts({{BlankPdf(3, 100), 2}, {"not a PDF", 1}}, joined, error));
    EXPECT_EQ(error.rfind("the printed parts could not be joined: ", 0), 0u) << error;
    EXPECT_EQ(joined, "kept");
}

}  // namespace
