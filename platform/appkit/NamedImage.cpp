#include "appkit/NamedImage.h"

#include <map>

#include "cf/Bundle.h"

namespace AppKit {
namespace {

std::vector<std::string>& SearchFolders()
{
    static std::vector<std::string> folders;
    return folders;
}

// Images read once per file for the life of the process.
std::shared_ptr<const Gfx::Image> Load(const std::string& path)
{
    static std::map<std::string, std::shared_ptr<const Gfx::Image>> cache;
    auto& slot = cache[path];
    if (!slot)
        slot = std::make_shared<Gfx::Image>(Gfx::Image::FromPNG(path));
    return slot;
}

std::string FindIn(const std::string& folder, const std::string& file)
{
    NSBundle* bundle = NSBundle::BundleWithPath(folder);
    if (bundle == nullptr)
        return {};
    const auto dot = file.rfind('.');
    return dot == std::string::npos ? bundle->PathForResource(file, "png")
                                    : bundle->PathForResource(file.substr(0, dot), file.substr(dot + 1));
}

}  // namespace

void NamedImage::AddSearchFolder(const std::string& folder) { SearchFolders().push_back(folder); }

NamedImage NamedImage::Find(const std::string& name, const std::vector<std::string>& folders)
{
    NamedImage found;
    found.mName = name;
    std::vector<std::string> all = folders;
    all.insert(all.end(), SearchFolders().begin(), SearchFolders().end());
    for (const std::string& folder : all) {
        const std::string path = FindIn(folder, name);
        if (!path.empty()) {
            found.mPath = path;
            found.mImage = Load(path);
            break;
        }
    }
    return found;
}

Gfx::Size NamedImage::Size() const
{
    return IsPlaceholder() ? Gfx::Size{16, 16} : Gfx::Size{double(mImage->Width()), double(mImage->Height())};
}

void NamedImage::DrawIn(Gfx::Context& c, const Gfx::Rect& r) const
{
    if (IsPlaceholder()) {
        // A red crossed box: plainly something missing, not a design.
        c.SetStrokeColor({0.85, 0.1, 0.1, 1});
        c.SetLineWidth(1);
        c.StrokeRect({r.x + 0.5, r.y + 0.5, r.width - 1, r.height - 1});
        c.BeginPath();
        c.MoveTo(r.x, r.y);
        c.LineTo(r.Right(), r.Bottom());
        c.MoveTo(r.Right(), r.y);
        c.LineTo(r.x, r.Bottom());
        c.StrokePath();
        return;
    }
    c.SaveState();
    c.Translate(r.x, r.y);
    c.Scale(r.width / mImage->Width(), r.height / mImage->Height());
    c.DrawImage(*mImage, {0, 0}, 1, true);
    c.RestoreState();
}

}  // namespace AppKit
