#include "host/commands/Command.h"

namespace Host {
namespace {

HRESULT Out(const KVD::String& text, IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    text.GetOut(out);
    return KVD_S_OK;
}

HRESULT Out(uint32_t value, uint32_t* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = value;
    return KVD_S_OK;
}

}  // namespace

ICAFCommand* Command::Create(const CommandInfo& info)
{
    return KVD::COMPtr<Command>(new Command(info)).Forget();
}

HRESULT Command::GetId(TCAFId* id)
{
    return Out(mInfo.id, id);
}

HRESULT Command::GetPath(IAutoKVDString** path)
{
    return Out(mInfo.path, path);
}

HRESULT Command::GetMenuText(IAutoKVDString** text)
{
    return Out(mInfo.menuText, text);
}

HRESULT Command::GetFlags(uint32_t* flags)
{
    return Out(mInfo.flags, flags);
}

HRESULT Command::GetDefaultKey(uint32_t* keyCode)
{
    return Out(mInfo.defaultKey, keyCode);
}

HRESULT Command::SetKeyCode(uint32_t keyCode)
{
    mKeyCode = keyCode;
    return KVD_S_OK;
}

HRESULT Command::GetKeyCode(uint32_t* keyCode)
{
    return Out(mKeyCode, keyCode);
}

HRESULT Command::GetHelpText(IAutoKVDString** text)
{
    return Out(mInfo.helpText, text);
}

// Only the primary shortcut (which 0) exists.
HRESULT Command::SetKeyCodeEx(uint32_t which, uint32_t keyCode)
{
    if (which != 0)
        return KVD_E_BADSTATE;
    mPrimaryKeyEx = keyCode;
    return KVD_S_OK;
}

HRESULT Command::GetKeyCodeEx(uint32_t which, uint32_t* keyCode)
{
    if (which != 0)
        return KVD_E_BADSTATE;
    return Out(mPrimaryKeyEx, keyCode);
}

HRESULT Command::SetMacText(IAutoKVDString* text)
{
    mMacText = KVD::String(text);
    return KVD_S_OK;
}

HRESULT Command::GetMacText(IAutoKVDString** text)
{
    return Out(mMacText, text);
}

}  // namespace Host
