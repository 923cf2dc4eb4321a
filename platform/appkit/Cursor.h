// Mouse cursors. Nothing shows them here, but views set, push and pop them as they would on
// a screen, and tests read which one is current.
#pragma once

#include <string>
#include <vector>

#include "appkit/NamedImage.h"
#include "graphics/Geometry.h"

namespace AppKit {

class Cursor {
public:
    Cursor() = default;
    // A cursor drawn from an image of the bundle, with its hot spot.
    Cursor(std::string imageName, Gfx::Point hotSpot) : mName(std::move(imageName)), mHotSpot(hotSpot) {}

    static Cursor Arrow() { return Cursor("arrow", {0, 0}); }
    static Cursor Crosshair() { return Cursor("crosshair", {8, 8}); }
    static Cursor IBeam() { return Cursor("IBeam", {4, 8}); }
    static Cursor PointingHand() { return Cursor("pointingHand", {5, 0}); }
    static Cursor ResizeLeftRight() { return Cursor("resizeLeftRight", {8, 8}); }
    static Cursor ResizeUpDown() { return Cursor("resizeUpDown", {8, 8}); }
    // A system cursor by the names above, else one drawn from the image of that name found
    // as named images are (hot spot at its centre), as a view asks for its own cursors.
    static Cursor Named(const std::string& name, const std::vector<std::string>& folders = {});
    // The image of a cursor from the bundle; none for the system's own cursors.
    const NamedImage* Image() const { return mImage.Name().empty() ? nullptr : &mImage; }

    const std::string& Name() const { return mName; }
    const Gfx::Point& HotSpot() const { return mHotSpot; }
    bool operator==(const Cursor& o) const { return mName == o.mName; }

    // Makes this the current cursor (the top of the stack).
    void Set() const;
    // Saves the current cursor and makes this one current.
    void Push() const;
    // Returns to the cursor saved by the last push; nothing when none was pushed.
    static void Pop();
    static Cursor Current();
    static size_t StackDepth();

private:
    std::string mName = "arrow";
    Gfx::Point mHotSpot;
    NamedImage mImage;
};

}  // namespace AppKit
