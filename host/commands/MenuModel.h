// The application's menus as the host builds them from command groups: each command goes into
// the main menu at its path ("Spirometry|Data View"; a last level "-" is a separator, a path
// without a command level names a menu). Choosing an item asks the group's handler whether the
// command is enabled and then has it carry the command out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ICAFCommand.h"
#include "appkit/Menu.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"

namespace Host {

class CommandGroup;

class MenuModel {
public:
    static MenuModel& Instance();

    void Add(CommandGroup* group, ICAFCommand* command);

    // Carries out the command at the path: the handler's result; KVD_S_FALSE when the command
    // is disabled (or nobody enables it), KVD_E_BADSTATE when no command is there.
    HRESULT Invoke(const std::string& path);
    // Whether the command at the path is enabled, and the menu text its handler gives (the
    // command's own when the handler sets none).
    HRESULT QueryState(const std::string& path, bool* enabled, KVD::String* text);
    // The command at the path, borrowed; null when none.
    ICAFCommand* FindCommand(const std::string& path) const;

    // Takes every command out of the menus and lets go of the groups.
    void Clear();

private:
    struct Placed;
    class Router;

    MenuModel() = default;
    AppKit::Menu& EnsureMenu(AppKit::Menu& parent, const std::string& title);
    const Placed* FindPlaced(const std::string& path) const;
    HRESULT Run(const Placed& placed);

    std::vector<std::unique_ptr<Placed>> mPlaced;
    std::vector<AppKit::MenuItem*> mCreated;  // every item put into a menu, in order
};

}  // namespace Host
