#include "host/commands/CommandEnabler.h"

namespace Host {

HRESULT CommandEnabler::SetText(IAutoKVDString* newText)
{
    text = KVD::String(newText);
    hasText = true;
    return KVD_S_OK;
}

HRESULT CommandEnabler::Enable(AutoBool on)
{
    enabled = on != kAutoFalse;
    return KVD_S_OK;
}

HRESULT CommandEnabler::SetCheck(AutoBool on)
{
    checked = on != kAutoFalse;
    return KVD_S_OK;
}

HRESULT CommandEnabler::GetCommandId(TCAFId* id)
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = mId;
    return KVD_S_OK;
}

}  // namespace Host
