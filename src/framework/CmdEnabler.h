// What a command-enable handler receives: the host's enabler, through which it says whether the
// command is offered, checked, and under which menu text.
#pragma once

#include "ICAFCommandHandler.h"
#include "foundation/KVDString.h"

class CmdEnabler {
public:
    explicit CmdEnabler(ICAFCommandEnabler* enabler) : mEnabler(enabler) {}

    void Enable(bool enabled);
    void SetCheck(bool checked);
    void SetText(const KVD::String& text);
    TCAFId GetId() const;

private:
    ICAFCommandEnabler* mEnabler;  // the host's, for the duration of the call
};
