#include "framework/CmdEnabler.h"

void CmdEnabler::Enable(bool enabled)
{
    mEnabler->Enable(enabled ? kAutoTrue : kAutoFalse);
}

void CmdEnabler::SetCheck(bool checked)
{
    mEnabler->SetCheck(checked ? kAutoTrue : kAutoFalse);
}

void CmdEnabler::SetText(const KVD::String& text)
{
    mEnabler->SetText(text.AsIAutoKVDString());
}

TCAFId CmdEnabler::GetId() const
{
    TCAFId id = 0;
    mEnabler->GetCommandId(&id);
    return id;
}
