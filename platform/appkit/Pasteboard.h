// The process's general pasteboard: typed items that one side writes and the other reads.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace AppKit {

// The host's writer of PDF data to the pasteboard: made with the data, then written.
class PasteboardPDFWriter {
public:
    explicit PasteboardPDFWriter(std::string pdf) : mPdf(std::move(pdf)) {}
    const std::string& Data() const { return mPdf; }

private:
    std::string mPdf;
};

class Pasteboard {
public:
    static constexpr const char* kPdfType = "com.adobe.pdf";
    static constexpr const char* kTextType = "public.utf8-plain-text";

    static Pasteboard& General();

    // Empties the pasteboard; returns the new change count.
    int Clear();
    // Writes the writer's PDF (unless it is empty) and, when given, a text item beside it.
    void WriteObjects(const PasteboardPDFWriter& writer, const std::string* text);
    // Adds or replaces the item of that type.
    void Write(const std::string& type, std::string bytes);
    bool Has(const std::string& type) const { return mItems.count(type) != 0; }
    // The item's bytes, empty when there is none.
    std::string Read(const std::string& type) const;
    std::vector<std::string> Types() const;
    int ChangeCount() const { return mChangeCount; }
    // Writes the item of that type to a file; false when there is none or the file fails.
    bool SaveTo(const std::string& type, const std::string& path) const;

private:
    std::map<std::string, std::string> mItems;
    int mChangeCount = 0;
};

}  // namespace AppKit
