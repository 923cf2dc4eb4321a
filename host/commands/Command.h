// The host's menu command: its id, path in the menus, texts, flags and shortcut, and the
// command group it belongs to.
#pragma once

#include <string>

#include "ICAFCommand.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

namespace Host {

struct CommandInfo {
    TCAFId id = 0;
    KVD::String path;
    KVD::String menuText;
    KVD::String helpText;
    uint32_t flags = 0;
    int n = 0;
    uint32_t defaultKey = 0;
};

class Command final : public SimpleUnknownImp3<ICAFCommand, ICAFCommandEx, ICAFCommandMac, 0> {
public:
    // A new command with one reference.
    static ICAFCommand* Create(const CommandInfo& info);

    HRESULT GetId(TCAFId* id) override;
    HRESULT GetPath(IAutoKVDString** path) override;
    HRESULT GetMenuText(IAutoKVDString** text) override;
    HRESULT GetFlags(uint32_t* flags) override;
    HRESULT GetDefaultKey(uint32_t* keyCode) override;
    HRESULT SetKeyCode(uint32_t keyCode) override;
    HRESULT GetKeyCode(uint32_t* keyCode) override;
    HRESULT GetHelpText(IAutoKVDString** text) override;
    HRESULT SetKeyCodeEx(uint32_t which, uint32_t keyCode) override;
    HRESULT GetKeyCodeEx(uint32_t which, uint32_t* keyCode) override;
    HRESULT SetMacText(IAutoKVDString* text) override;
    HRESULT GetMacText(IAutoKVDString** text) override;

    const CommandInfo& Info() const { return mInfo; }

private:
    explicit Command(const CommandInfo& info) : mInfo(info) {}

    CommandInfo mInfo;
    uint32_t mKeyCode = 0;
    uint32_t mPrimaryKeyEx = 0;
    KVD::String mMacText;
};

}  // namespace Host
