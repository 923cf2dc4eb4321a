#include "web/PdfPages.h"

#include <exception>
#include <memory>

// qpdf's own smart pointers, not its deprecated PointerHolder.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace Web {
namespace {

std::unique_ptr<QPDF> Read(const std::string& pdf, const char* name)
{
    auto document = std::make_unique<QPDF>();
    document->setSuppressWarnings(true);
    document->processMemoryFile(name, pdf.data(), pdf.size());
    return document;
}

}  // namespace

int PdfPageCount(const std::string& pdf)
{
    try {
        return static_cast<int>(QPDFPageDocumentHelper(*Read(pdf, "printed part")).getAllPages().size());
    } catch (const std::exception&) {
        return 0;
    }
}

bool JoinPdfParts(const std::vector<PdfPart>& parts, std::string& joined, std::string& error)
{
    try {
        // The parts' documents hold what their pages refer to until the whole is written.
        std::vector<std::unique_ptr<QPDF>> read;
        QPDF whole;
        whole.emptyPDF();
        QPDFPageDocumentHelper pages(whole);
        for (const PdfPart& part : parts) {
            read.push_back(Read(part.pdf, "printed part"));
            const std::vector<QPDFPageObjectHelper> partPages = QPDFPageDocumentHelper(*read.back()).getAllPages();
            if (static_cast<int>(partPages.size()) < part.pages) {
                error = "a printed part has " + std::to_string(partPages.size()) + " pages, not " +
                        std::to_string(part.pages);
                return false;
            }
            for (int page = 0; page < part.pages; ++page)
                pages.addPage(partPages[size_t(page)], false);
        }
        QPDFWriter writer(whole);
        writer.setOutputMemory();
        writer.write();
        const std::unique_ptr<Buffer> buffer(writer.getBuffer());
        joined.assign(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
        return true;
    } catch (const std::exception& e) {
        error = std::string("the printed parts could not be joined: ") + e.what();
        return false;
    }
}

}  // namespace Web
