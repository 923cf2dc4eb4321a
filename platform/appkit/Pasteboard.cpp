#include "appkit/Pasteboard.h"

#include "cf/FileBytes.h"

namespace AppKit {

Pasteboard& Pasteboard::General()
{
    static Pasteboard general;
    return general;
}

int Pasteboard::Clear()
{
    mItems.clear();
    return ++mChangeCount;
}

void Pasteboard::WriteObjects(const PasteboardPDFWriter& writer, const std::string* text)
{
    // A view that could not draw gives no PDF: it leaves none, not an empty one.
    if (!writer.Data().empty())
        Write(kPdfType, writer.Data());
    if (text != nullptr)
        Write(kTextType, *text);
}

void Pasteboard::Write(const std::string& type, std::string bytes) { mItems[type] = std::move(bytes); }

std::string Pasteboard::Read(const std::string& type) const
{
    const auto it = mItems.find(type);
    return it == mItems.end() ? std::string() : it->second;
}

std::vector<std::string> Pasteboard::Types() const
{
    std::vector<std::string> types;
    for (const auto& item : mItems)
        types.push_back(item.first);
    return types;
}

bool Pasteboard::SaveTo(const std::string& type, const std::string& path) const
{
    const auto it = mItems.find(type);
    if (it == mItems.end())
        return false;
    return CF::WriteFileBytes(path, it->second);
}

}  // namespace AppKit
