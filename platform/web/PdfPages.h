// The pages of PDF files, through qpdf: how many a file has, and one file of the first pages of
// several, in order (a long page printed a part at a time).
#pragma once

#include <string>
#include <vector>

namespace Web {

struct PdfPart {
    std::string pdf;
    int pages = 0;  // its first pages taken
};

// The number of pages of the PDF; 0 when it cannot be read.
int PdfPageCount(const std::string& pdf);
// One PDF of the parts' pages; false, with why, when a part cannot be read or has fewer pages.
bool JoinPdfParts(const std::vector<PdfPart>& parts, std::string& joined, std::string& error);

}  // namespace Web
