// A user for tests: finds the controls of a window by outlet name (or id) or by title, and
// clicks, types, chooses, drags and presses keys on them through the window's events, as a
// person at the screen would; answers the next modal dialog, sheet, alert or menu; reads
// control values back; and snapshots the window to PNG for a person to look at. Anything it
// cannot do (no such control, a disabled one, a wrong kind) throws UserDriverError naming the
// window and the control.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "appkit/Window.h"

namespace AppKit {

class UserDriverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class UserDriver {
public:
    explicit UserDriver(Window& window) : mWindow(window) {}
    Window& GetWindow() const { return mWindow; }

    // The view whose identifier (outlet or id) is the name, else the one shown with that title
    // (a button or cell, a label, a pop-up's shown item). Hidden views count too.
    View& Find(const std::string& name) const;
    template <class T>
    T& Find(const std::string& name) const
    {
        auto* view = dynamic_cast<T*>(&Find(name));
        if (view == nullptr)
            Fail(name, "is a " + std::string(Find(name).ClassName()) + ", not the control asked for");
        return *view;
    }

    // A press and release at the middle of the control (or at a point of its coordinates).
    void Click(const std::string& name, int clickCount = 1, unsigned modifiers = 0);
    void Click(View& view, const Gfx::Point& at, int clickCount = 1, unsigned modifiers = 0);
    void DoubleClick(View& view, const Gfx::Point& at);
    void RightClick(View& view, const Gfx::Point& at);
    // Clicks the field, selects all its text and types the text in its place; the field keeps
    // the keys (so its edit is not ended yet).
    void Type(const std::string& field, const std::string& text);
    // Types and ends the edit with return.
    void Enter(const std::string& field, const std::string& text);
    // Types characters to whoever has the keys, one key each (UTF-8 aware).
    void TypeKeys(const std::string& text);
    // One key (its characters, Key::kTab for example) with modifiers.
    void Press(const std::string& characters, unsigned modifiers = 0);
    // Clicks a pop-up button and picks the item of that title from its menu.
    void Choose(const std::string& popUp, const std::string& itemTitle);
    // Opens the view's context menu at a point and picks the item ("Sub|Item" in submenus).
    void ChooseFromContextMenu(View& view, const Gfx::Point& at, const std::string& itemPath);
    // Picks an item of the application's main menu by path ("Spirometry|Data View").
    static void ChooseMenuItem(const std::string& path);
    // Presses at one point of the view, drags through a few steps and releases at another
    // (both in the view's coordinates; the mouse stays captured by the view pressed). The
    // whole gesture is queued first, so that a view may track it in a loop of its own.
    void Drag(View& view, const Gfx::Point& from, const Gfx::Point& to, int steps = 4, unsigned modifiers = 0);
    void MoveMouse(View& view, const Gfx::Point& to, unsigned modifiers = 0);
    // Holds down (or lets go of) modifier keys: the keys' view hears the new flags.
    void ChangeModifiers(unsigned modifiers);
    // Wheel steps over a point of the view; positive dy scrolls up.
    void Scroll(View& view, const Gfx::Point& at, double dy, double dx = 0);

    // The next modal dialog or sheet is answered by this (which must stop it).
    static void AnswerNextModal(std::function<void(UserDriver&)> answer);
    // The next alert is answered with that button.
    static void AnswerNextAlert(const std::string& buttonTitle);

    // Values as the user sees them.
    std::string StringValue(const std::string& name) const;
    double DoubleValue(const std::string& name) const;
    int State(const std::string& name) const;
    // Of a pop-up button or radio matrix; -1 when none is selected.
    int SelectedTag(const std::string& name) const;
    std::string SelectedTitle(const std::string& name) const;
    bool IsEnabled(const std::string& name) const;
    bool IsVisible(const std::string& name) const { return !Find(name).IsHiddenOrHasHiddenAncestor(); }
    // What an error provider (or any control's tool tip) says.
    std::string ToolTip(const std::string& name) const;

    // The window as it shows, title bar included, as a PNG file.
    bool Snapshot(const std::string& path) const { return mWindow.RenderToPng(path, true); }

private:
    [[noreturn]] void Fail(const std::string& name, const std::string& what) const;
    void Send(EventType type, View& view, const Gfx::Point& at, int clickCount = 1, unsigned modifiers = 0);
    Control& Enabled(const std::string& name) const;
    Window& mWindow;
};

}  // namespace AppKit
