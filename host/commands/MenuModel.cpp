#include "host/commands/MenuModel.h"

#include <algorithm>

#include "ICAFCommandHandler.h"
#include "appkit/Responder.h"
#include "host/commands/CommandClass.h"
#include "host/commands/CommandEnabler.h"

namespace Host {
namespace {

const char* const kAction = "performCommand:";

// The levels of a path, without the host's "^" markers ("Spirometry^EXTENSION" is the menu
// "Spirometry").
std::vector<std::string> Levels(const std::string& path)
{
    std::vector<std::string> levels;
    size_t start = 0;
    for (;;) {
        const size_t bar = path.find('|', start);
        std::string level = path.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        levels.push_back(level.substr(0, level.find('^')));
        if (bar == std::string::npos)
            return levels;
        start = bar + 1;
    }
}

void RemoveItem(AppKit::MenuItem* item)
{
    AppKit::Menu* menu = item->Parent();
    for (size_t i = 0; menu != nullptr && i < menu->ItemCount(); ++i) {
        if (&menu->ItemAt(i) == item) {
            menu->RemoveAt(i);
            return;
        }
    }
}

}  // namespace

struct MenuModel::Placed {
    KVD::COMPtr<ICAFCommandGroup> group;
    KVD::COMPtr<ICAFCommand> command;
    std::string path;
    AppKit::MenuItem* item = nullptr;
    std::unique_ptr<Router> router;
};

class MenuModel::Router final : public AppKit::Responder {
public:
    Router(MenuModel& model, const Placed& placed) : mModel(model), mPlaced(placed) {}
    bool RespondsTo(const std::string& selector) const override { return selector == kAction; }
    bool Perform(const std::string& selector, void*) override
    {
        if (selector != kAction)
            return false;
        result = mModel.Run(mPlaced);
        return true;
    }

    HRESULT result = KVD_S_OK;

private:
    MenuModel& mModel;
    const Placed& mPlaced;
};

MenuModel& MenuModel::Instance()
{
    static MenuModel model;
    return model;
}

AppKit::Menu& MenuModel::EnsureMenu(AppKit::Menu& parent, const std::string& title)
{
    AppKit::MenuItem* holder = parent.Find(title);
    if (holder == nullptr) {
        holder = &parent.Add(std::make_unique<AppKit::MenuItem>(title, "", ""));
        mCreated.push_back(holder);
    }
    if (!holder->Submenu())
        holder->SetSubmenu(std::make_shared<AppKit::Menu>(title));
    return *holder->Submenu();
}

void MenuModel::Add(CommandGroup* group, ICAFCommand* command)
{
    auto placed = std::make_unique<Placed>();
    placed->group = group;
    placed->command = command;
    KVD::String path;
    command->GetPath(KVD::String::Setter(path));
    placed->path = KVD::ToU8String(path);

    const std::vector<std::string> levels = Levels(placed->path);
    AppKit::Menu* menu = &AppKit::MainMenu();
    for (size_t i = 0; i + 1 < levels.size(); ++i)
        menu = &EnsureMenu(*menu, levels[i]);
    const std::string& last = levels.back();
    if (levels.size() == 1) {
        EnsureMenu(*menu, last);  // a menu of its own
    } else if (last == "-") {
        mCreated.push_back(&menu->Add(AppKit::MenuItem::Separator()));
    } else if (!last.empty()) {
        placed->router = std::make_unique<Router>(*this, *placed);
        placed->item = &menu->Add(std::make_unique<AppKit::MenuItem>(last, kAction, ""));
        placed->item->SetTarget(placed->router.get());
        mCreated.push_back(placed->item);
    }
    mPlaced.push_back(std::move(placed));
}

const MenuModel::Placed* MenuModel::FindPlaced(const std::string& path) const
{
    const AppKit::MenuItem* item = AppKit::MainMenu().FindPath(path);
    for (const auto& placed : mPlaced)
        if (placed->item != nullptr && placed->item == item)
            return placed.get();
    return nullptr;
}

ICAFCommand* MenuModel::FindCommand(const std::string& path) const
{
    const Placed* placed = FindPlaced(path);
    return placed == nullptr ? nullptr : placed->command.get();
}

HRESULT MenuModel::QueryState(const std::string& path, bool* enabled, KVD::String* text)
{
    const Placed* placed = FindPlaced(path);
    if (placed == nullptr)
        return KVD_E_BADSTATE;
    TCAFId id = 0;
    placed->command->GetId(&id);
    CommandEnabler enabler(id);
    ICAFCommandHandler* handler = static_cast<CommandGroup*>(placed->group.get())->GetHandler();
    const bool handled = handler != nullptr && handler->CommandEnable(id, &enabler) == KVD_S_OK;
    if (enabled != nullptr)
        *enabled = handled && enabler.enabled;
    if (text != nullptr) {
        if (enabler.hasText)
            *text = enabler.text;
        else
            placed->command->GetMenuText(KVD::String::Setter(*text));
    }
    return KVD_S_OK;
}

HRESULT MenuModel::Run(const Placed& placed)
{
    bool enabled = false;
    QueryState(placed.path, &enabled, nullptr);
    if (!enabled)
        return KVD_S_FALSE;
    TCAFId id = 0;
    placed.command->GetId(&id);
    return static_cast<CommandGroup*>(placed.group.get())->GetHandler()->Command(id);
}

HRESULT MenuModel::Invoke(const std::string& path)
{
    const Placed* placed = FindPlaced(path);
    if (placed == nullptr)
        return KVD_E_BADSTATE;
    placed->router->result = KVD_S_FALSE;
    placed->item->Invoke();
    return placed->router->result;
}

void MenuModel::Clear()
{
    for (auto it = mCreated.rbegin(); it != mCreated.rend(); ++it) {
        AppKit::MenuItem* item = *it;
        if (!item->Submenu() || item->Submenu()->ItemCount() == 0)
            RemoveItem(item);
    }
    mCreated.clear();
    mPlaced.clear();
}

}  // namespace Host
