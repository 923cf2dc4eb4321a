#include "appkit/Menu.h"

namespace AppKit {

std::unique_ptr<MenuItem> MenuItem::Separator()
{
    auto item = std::make_unique<MenuItem>("", "", "");
    item->mSeparator = true;
    return item;
}

MenuItem::MenuItem(std::string title, std::string action, std::string keyEquivalent)
    : mTitle(std::move(title)), mAction(std::move(action)), mKey(std::move(keyEquivalent))
{
}

void MenuItem::SetSubmenu(std::shared_ptr<Menu> submenu)
{
    if (mSubmenu)
        mSubmenu->mSupermenuItem = nullptr;
    mSubmenu = std::move(submenu);
    if (mSubmenu)
        mSubmenu->mSupermenuItem = this;
}

MenuItem* MenuItem::ParentItem() const { return mParent ? mParent->SupermenuItem() : nullptr; }

bool MenuItem::Invoke()
{
    return mTarget != nullptr && !mAction.empty() && mTarget->RespondsTo(mAction) && mTarget->Perform(mAction, this);
}

MenuItem& Menu::Add(std::unique_ptr<MenuItem> item)
{
    item->mParent = this;
    mItems.push_back(std::move(item));
    return *mItems.back();
}

void Menu::RemoveAt(size_t index)
{
    if (index < mItems.size())
        mItems.erase(mItems.begin() + static_cast<long>(index));
}

MenuItem* Menu::Find(const std::string& title) const
{
    for (const auto& item : mItems)
        if (!item->IsSeparator() && item->Title() == title)
            return item.get();
    return nullptr;
}

MenuItem* Menu::FindPath(const std::string& path) const
{
    const auto bar = path.find('|');
    MenuItem* item = Find(path.substr(0, bar));
    if (bar == std::string::npos || item == nullptr)
        return item;
    return item->Submenu() ? item->Submenu()->FindPath(path.substr(bar + 1)) : nullptr;
}

Menu& MainMenu()
{
    static Menu main("Main Menu");
    return main;
}

}  // namespace AppKit
