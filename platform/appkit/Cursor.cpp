#include "appkit/Cursor.h"

#include <vector>

namespace AppKit {
namespace {

struct CursorState {
    Cursor current = Cursor::Arrow();
    std::vector<Cursor> saved;
};

CursorState& State()
{
    static CursorState state;
    return state;
}

}  // namespace

Cursor Cursor::Named(const std::string& name, const std::vector<std::string>& folders)
{
    for (const Cursor& c : {Arrow(), Crosshair(), IBeam(), PointingHand(), ResizeLeftRight(), ResizeUpDown()})
        if (c.Name() == name)
            return c;
    Cursor cursor(name, {});
    cursor.mImage = NamedImage::Find(name, folders);
    const Gfx::Size size = cursor.mImage.Size();
    cursor.mHotSpot = {size.width / 2, size.height / 2};
    return cursor;
}

void Cursor::Set() const { State().current = *this; }

void Cursor::Push() const
{
    State().saved.push_back(State().current);
    State().current = *this;
}

void Cursor::Pop()
{
    CursorState& s = State();
    if (s.saved.empty())
        return;
    s.current = s.saved.back();
    s.saved.pop_back();
}

Cursor Cursor::Current() { return State().current; }

size_t Cursor::StackDepth() { return State().saved.size(); }

}  // namespace AppKit
