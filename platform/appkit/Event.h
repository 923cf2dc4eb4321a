// User input as the widget model delivers it: mouse, wheel and key events in window
// coordinates (top-left origin, y growing downwards), and the tracking areas that ask for
// entered, exited and moved events over a part of a view.
#pragma once

#include <string>

#include "graphics/Geometry.h"

namespace AppKit {

class View;

enum class EventType {
    MouseDown, MouseDragged, MouseUp, MouseMoved,
    RightMouseDown, RightMouseUp,
    MouseEntered, MouseExited,
    ScrollWheel, KeyDown, FlagsChanged,
};

// Masks of event types for a view that takes events itself while it tracks the mouse
// (Window::NextEventMatchingMask), as the platform numbers them.
enum EventMask : unsigned {
    kLeftMouseDownMask = 1u << 1,
    kLeftMouseUpMask = 1u << 2,
    kRightMouseDownMask = 1u << 3,
    kRightMouseUpMask = 1u << 4,
    kMouseMovedMask = 1u << 5,
    kLeftMouseDraggedMask = 1u << 6,
    kMouseEnteredMask = 1u << 8,
    kMouseExitedMask = 1u << 9,
    kKeyDownMask = 1u << 10,
    kFlagsChangedMask = 1u << 12,
    kScrollWheelMask = 1u << 22,
};

// Modifier flags, as the platform's events carry them.
enum ModifierFlags : unsigned {
    kShiftKeyMask = 1u << 17,
    kControlKeyMask = 1u << 18,
    kAlternateKeyMask = 1u << 19,
    kCommandKeyMask = 1u << 20,
};

// The characters of special keys (UTF-8).
namespace Key {
constexpr const char* kReturn = "\r";
constexpr const char* kTab = "\t";
constexpr const char* kBackTab = "\x19";
constexpr const char* kEscape = "\x1b";
constexpr const char* kBackspace = "\x7f";
constexpr const char* kUpArrow = "\xEF\x9C\x80";     // U+F700
constexpr const char* kDownArrow = "\xEF\x9C\x81";   // U+F701
constexpr const char* kLeftArrow = "\xEF\x9C\x82";   // U+F702
constexpr const char* kRightArrow = "\xEF\x9C\x83";  // U+F703
}  // namespace Key

struct TrackingArea;

struct Event {
    EventType type = EventType::MouseMoved;
    Gfx::Point locationInWindow;
    unsigned modifierFlags = 0;
    int clickCount = 0;       // 1 for a single click, 2 for the second click of a double click
    double deltaX = 0, deltaY = 0;  // wheel steps; positive deltaY scrolls up
    std::string characters;   // key events
    const TrackingArea* trackingArea = nullptr;  // entered and exited events

    bool Has(unsigned mask) const { return (modifierFlags & mask) != 0; }
    unsigned Mask() const;
    bool IsMouse() const { return type != EventType::KeyDown && type != EventType::FlagsChanged; }
};

inline unsigned Event::Mask() const
{
    switch (type) {
    case EventType::MouseDown: return kLeftMouseDownMask;
    case EventType::MouseUp: return kLeftMouseUpMask;
    case EventType::RightMouseDown: return kRightMouseDownMask;
    case EventType::RightMouseUp: return kRightMouseUpMask;
    case EventType::MouseMoved: return kMouseMovedMask;
    case EventType::MouseDragged: return kLeftMouseDraggedMask;
    case EventType::MouseEntered: return kMouseEnteredMask;
    case EventType::MouseExited: return kMouseExitedMask;
    case EventType::KeyDown: return kKeyDownMask;
    case EventType::FlagsChanged: return kFlagsChangedMask;
    case EventType::ScrollWheel: return kScrollWheelMask;
    }
    return 0;
}

// A rectangle of a view (in the view's coordinates) over which its owner hears of the mouse.
struct TrackingArea {
    enum Options : unsigned {
        kMouseEnteredAndExited = 0x01,
        kMouseMoved = 0x02,
        kCursorUpdate = 0x04,
        kActiveInActiveApp = 0x40,
    };
    Gfx::Rect rect;
    unsigned options = kMouseEnteredAndExited;
    View* owner = nullptr;  // the view that receives the events; the area's view when null
    int id = 0;             // given when the area is added
};

}  // namespace AppKit
