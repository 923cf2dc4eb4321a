#include "host/commands/CommandClass.h"

#include "FrameworkIds.h"
#include "host/commands/MenuModel.h"

namespace Host {

CommandClass::CommandClass() : ServiceClassObject(kTypeId_CommandClass, L"Command class") {}

void CommandClass::SetDefaultKey(const KVD::String& path, uint32_t keyCode)
{
    mDefaultKeys[path.c_str()] = keyCode;
}

HRESULT CommandClass::Make(CommandInfo info, ICAFCommand** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    auto key = mDefaultKeys.find(info.path.c_str());
    if (key != mDefaultKeys.end())
        info.defaultKey = key->second;
    *out = Command::Create(info);
    return KVD_S_OK;
}

HRESULT CommandClass::CreateCommand(IAutoKVDString* menuText, IAutoKVDString* separatorText, uint32_t flags,
                                    ICAFCommand** out)
{
    CommandInfo info;
    info.path = KVD::String(menuText != nullptr ? menuText : separatorText);
    info.menuText = info.path;
    info.flags = flags;
    return Make(info, out);
}

HRESULT CommandClass::CreateCommandEx(IAutoKVDString* text, uint32_t flags, IAutoKVDString* help, IUnknown*, int n,
                                      ICAFCommand** out)
{
    CommandInfo info;
    info.path = KVD::String(text);
    info.menuText = info.path;
    info.helpText = KVD::String(help);
    info.flags = flags;
    info.n = n;
    return Make(info, out);
}

// The menu text and help line are entries 0 and 1 of the command's string group.
HRESULT CommandClass::CreateCommandFull(TCAFId id, NSBundle*, IKVDXMLStringGroup* strings, IAutoKVDString* path, int n,
                                        IAutoKVDString*, IAutoKVDString*, uint32_t flags, IUnknown*, IUnknown*,
                                        ICAFCommand** out)
{
    CommandInfo info;
    info.id = id;
    info.path = KVD::String(path);
    info.flags = flags;
    info.n = n;
    if (strings != nullptr) {
        strings->GetResourceString(0, 0, KVD::String::Setter(info.menuText));
        strings->GetResourceString(0, 1, KVD::String::Setter(info.helpText));
    }
    return Make(info, out);
}

CommandGroup::CommandGroup(const _IID* classId, IUnknown* handler)
    : mClassId(classId != nullptr ? *classId : _IID{}), mHandler(KVD::com_cast(handler))
{
}

ICAFCommandGroup* CommandGroup::Create(const _IID* classId, IUnknown* handler, IUnknown*)
{
    return KVD::COMPtr<CommandGroup>(new CommandGroup(classId, handler)).Forget();
}

HRESULT CommandGroup::AddCommand(ICAFCommand* command)
{
    if (command == nullptr)
        return KVD_E_POINTER;
    mCommands.emplace_back(command);
    MenuModel::Instance().Add(this, command);
    return KVD_S_OK;
}

HRESULT CommandGroup::GetCommandCount(uint32_t* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = static_cast<uint32_t>(mCommands.size());
    return KVD_S_OK;
}

HRESULT CommandGroup::GetCommandAt(uint32_t index, ICAFCommand** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (index >= mCommands.size())
        return KVD_E_BADSTATE;
    mCommands[index].GetOut(out);
    return KVD_S_OK;
}

HRESULT CommandGroup::GetClassId(_IID* classId)
{
    if (classId == nullptr)
        return KVD_E_POINTER;
    *classId = mClassId;
    return KVD_S_OK;
}

CommandGroupClass::CommandGroupClass() : ServiceClassObject(kTypeId_CommandGroupClass, L"Command group class") {}

HRESULT CommandGroupClass::CreateGroup(const _IID* classId, IUnknown* handler, IUnknown* owner, ICAFCommandGroup** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = CommandGroup::Create(classId, handler, owner);
    return KVD_S_OK;
}

}  // namespace Host
