// Menus and their items: titles, tags, check states, key equivalents, submenus, and the
// target and action that a chosen item sends.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "appkit/Responder.h"

namespace AppKit {

class Menu;

class MenuItem {
public:
    static std::unique_ptr<MenuItem> Separator();
    MenuItem(std::string title, std::string action, std::string keyEquivalent);

    const std::string& Title() const { return mTitle; }
    bool IsSeparator() const { return mSeparator; }
    int Tag() const { return mTag; }
    void SetTag(int tag) { mTag = tag; }
    bool IsOn() const { return mOn; }
    void SetOn(bool on) { mOn = on; }
    const std::string& KeyEquivalent() const { return mKey; }
    const std::string& Action() const { return mAction; }
    void SetAction(const std::string& action) { mAction = action; }
    Responder* Target() const { return mTarget; }
    void SetTarget(Responder* target) { mTarget = target; }

    // The submenu is shared: it may belong to an owner object (a menu wrapper) too.
    std::shared_ptr<Menu> Submenu() const { return mSubmenu; }
    void SetSubmenu(std::shared_ptr<Menu> submenu);
    Menu* Parent() const { return mParent; }
    // The item whose submenu holds this item, or null.
    MenuItem* ParentItem() const;

    // Sends the action to the target; false when there is none or it does not answer.
    bool Invoke();

private:
    friend class Menu;
    std::string mTitle;
    std::string mAction;
    std::string mKey;
    bool mSeparator = false;
    int mTag = 0;
    bool mOn = false;
    Responder* mTarget = nullptr;
    std::shared_ptr<Menu> mSubmenu;
    Menu* mParent = nullptr;
};

class Menu {
public:
    explicit Menu(std::string title = {}) : mTitle(std::move(title)) {}
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& Title() const { return mTitle; }
    size_t ItemCount() const { return mItems.size(); }
    MenuItem& ItemAt(size_t index) const { return *mItems.at(index); }
    MenuItem& Add(std::unique_ptr<MenuItem> item);
    void RemoveAt(size_t index);
    // The item under which this menu hangs as submenu, or null.
    MenuItem* SupermenuItem() const { return mSupermenuItem; }
    // The first item with this title, or null.
    MenuItem* Find(const std::string& title) const;
    // An item reached through titles separated by "|", such as "Spirometry|Data View".
    MenuItem* FindPath(const std::string& path) const;
    // Called just before the menu shows, so that its owner may fill it then.
    void SetNeedsUpdate(std::function<void(Menu&)> update) { mNeedsUpdate = std::move(update); }
    bool IsFilledWhenShown() const { return static_cast<bool>(mNeedsUpdate); }
    void Update()
    {
        if (mNeedsUpdate)
            mNeedsUpdate(*this);
    }

private:
    friend class MenuItem;
    std::string mTitle;
    std::vector<std::unique_ptr<MenuItem>> mItems;
    MenuItem* mSupermenuItem = nullptr;
    std::function<void(Menu&)> mNeedsUpdate;
};

// The application's main menu: one per process.
Menu& MainMenu();

}  // namespace AppKit
