#include "foundation/cocoa/TMenu.h"

#include <map>

#include "foundation/TextConversion.h"

namespace {

// Live menus by handle: a pointer does not fit the 32-bit id argument.
std::map<int, TMenu*>& Registry()
{
    static std::map<int, TMenu*> menus;
    return menus;
}

int gNextHandle = 1;

std::string Utf8(const wchar_t* text) { return KVD::ToU8String(text, std::wcslen(text)); }

// The item takes the target and action of the item its menu hangs under, when there is one.
void InheritFromParent(AppKit::MenuItem& item)
{
    if (AppKit::MenuItem* parent = item.ParentItem()) {
        item.SetTarget(parent->Target());
        item.SetAction(parent->Action());
    }
}

}  // namespace

TMenu::TMenu(std::shared_ptr<AppKit::Menu> menu) : mMenu(std::move(menu)), mHandle(gNextHandle++)
{
    Registry()[mHandle] = this;
}

TMenu::~TMenu() { Registry().erase(mHandle); }

TMenu* TMenu::FromHandle(int handle)
{
    const auto it = Registry().find(handle);
    return it == Registry().end() ? nullptr : it->second;
}

bool TMenu::InsertMenu(int, int flags, int id, const wchar_t* text, const char* keyEquivalent)
{
    if (flags & kSeparator) {
        mMenu->Add(AppKit::MenuItem::Separator());
    } else if (flags & kSubmenu) {
        AppKit::MenuItem& item = mMenu->Add(std::make_unique<AppKit::MenuItem>(text ? Utf8(text) : "", "", ""));
        if (TMenu* sub = FromHandle(id))
            item.SetSubmenu(sub->mMenu);
        InheritFromParent(item);
    } else if (text != nullptr) {
        AppKit::MenuItem& item =
            mMenu->Add(std::make_unique<AppKit::MenuItem>(Utf8(text), "", keyEquivalent ? keyEquivalent : ""));
        item.SetTag(id);
        item.SetOn((flags & kChecked) != 0);
        InheritFromParent(item);
    }
    return true;
}

bool TMenu::DeleteMenu(int position, int)
{
    if (position < 0 || position >= GetMenuItemCount())
        return false;
    mMenu->RemoveAt(static_cast<size_t>(position));
    return true;
}
