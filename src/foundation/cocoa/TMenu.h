// A GDI-style menu over an appkit menu. Command ids travel as the items' tags; a new item takes
// the target and action of the item it hangs under, so that the host's menu dispatch reaches
// the view.
#pragma once

#include <memory>

#include "appkit/Menu.h"

class TMenu {
public:
    enum Flags : int {
        kSeparator = 0x02,
        kChecked = 0x08,
        kSubmenu = 0x80,  // the id argument is the Handle() of the TMenu to hang under the item
    };

    explicit TMenu(std::shared_ptr<AppKit::Menu> menu);
    virtual ~TMenu();
    TMenu(const TMenu&) = delete;
    TMenu& operator=(const TMenu&) = delete;

    AppKit::Menu& Menu() const { return *mMenu; }
    // A number that stands for this menu in the id argument of a submenu item while it lives.
    int Handle() const { return mHandle; }

    int GetMenuItemCount() const { return static_cast<int>(mMenu->ItemCount()); }
    bool AppendMenu(int flags, int id, const wchar_t* text) { return InsertMenu(0, flags, id, text, ""); }
    // Always appends at the end: the position is not used. Returns true.
    virtual bool InsertMenu(int position, int flags, int id, const wchar_t* text, const char* keyEquivalent);
    // Removes the item at that index; the flags are not used.
    bool DeleteMenu(int position, int flags);

private:
    static TMenu* FromHandle(int handle);

    std::shared_ptr<AppKit::Menu> mMenu;
    int mHandle;
};
