// Named images: PNG resources found by name (with or without ".png") in the folders searched:
// those a caller names (a layout's own folder and the resources above it) and those added for
// the process (the bundles' resource folders). A name that is found nowhere draws a visible
// placeholder: a crossed box.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/Context.h"
#include "graphics/Geometry.h"
#include "graphics/Image.h"

namespace AppKit {

class NamedImage {
public:
    // A folder searched for every name from now on (subfolders too).
    static void AddSearchFolder(const std::string& folder);
    // The image of that name; the placeholder when there is none (IsPlaceholder then).
    static NamedImage Find(const std::string& name, const std::vector<std::string>& folders = {});

    const std::string& Name() const { return mName; }
    const std::string& Path() const { return mPath; }
    bool IsPlaceholder() const { return !mImage || mImage->IsEmpty(); }
    const Gfx::Image* Image() const { return mImage.get(); }
    // The image's size in points; 16 x 16 for the placeholder.
    Gfx::Size Size() const;
    // Draws the image (or the placeholder) scaled into the rectangle of a top-down context.
    void DrawIn(Gfx::Context& context, const Gfx::Rect& r) const;

private:
    std::string mName;
    std::string mPath;
    std::shared_ptr<const Gfx::Image> mImage;
};

}  // namespace AppKit
