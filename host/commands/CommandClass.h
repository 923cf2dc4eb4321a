// The host's command class (fixed type id 0x80000013), command-group class (0x80000014) and
// command groups. A group puts its commands into the application's menus (MenuModel), and a
// command chosen there goes to the group's command handler.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ICAFCommandHandler.h"
#include "host/commands/Command.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

class CommandClass final : public ServiceClassObject<ICAFCommandClass> {
public:
    CommandClass();

    HRESULT CreateCommand(IAutoKVDString* menuText, IAutoKVDString* separatorText, uint32_t flags,
                          ICAFCommand** out) override;
    HRESULT CreateCommandEx(IAutoKVDString* text, uint32_t flags, IAutoKVDString* help, IUnknown* target, int n,
                            ICAFCommand** out) override;
    HRESULT CreateCommandFull(TCAFId id, NSBundle* bundle, IKVDXMLStringGroup* strings, IAutoKVDString* path, int n,
                              IAutoKVDString* s2, IAutoKVDString* s3, uint32_t flags, IUnknown* a, IUnknown* b,
                              ICAFCommand** out) override;

    // The shortcut the host proposes for commands of this path (0 for none).
    void SetDefaultKey(const KVD::String& path, uint32_t keyCode);

private:
    HRESULT Make(CommandInfo info, ICAFCommand** out);

    std::map<std::wstring, uint32_t> mDefaultKeys;
};

class CommandGroup final : public SimpleUnknownImp1<ICAFCommandGroup, 0> {
public:
    // A new group with one reference; it joins the menus.
    static ICAFCommandGroup* Create(const _IID* classId, IUnknown* handler, IUnknown* owner);

    HRESULT AddCommand(ICAFCommand* command) override;
    HRESULT GetCommandCount(uint32_t* count) override;
    HRESULT GetCommandAt(uint32_t index, ICAFCommand** out) override;
    HRESULT GetClassId(_IID* classId) override;

    // Where the group's commands go; null when the handler offered no command interface.
    ICAFCommandHandler* GetHandler() const { return mHandler; }

private:
    CommandGroup(const _IID* classId, IUnknown* handler);

    _IID mClassId;
    KVD::COMPtr<ICAFCommandHandler> mHandler;
    std::vector<KVD::COMPtr<ICAFCommand>> mCommands;
};

class CommandGroupClass final : public ServiceClassObject<ICAFCommandGroupClass> {
public:
    CommandGroupClass();
    HRESULT CreateGroup(const _IID* classId, IUnknown* handler, IUnknown* owner, ICAFCommandGroup** out) override;
};

}  // namespace Host
