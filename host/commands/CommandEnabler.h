// What the host hands a command handler's CommandEnable: it records the handler's answers.
#pragma once

#include "ICAFCommandHandler.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

namespace Host {

class CommandEnabler final : public KVD::UncountedUnknown<ICAFCommandEnabler> {
public:
    explicit CommandEnabler(TCAFId id) : mId(id) {}

    HRESULT SetText(IAutoKVDString* text) override;
    HRESULT Enable(AutoBool enabled) override;
    HRESULT SetCheck(AutoBool checked) override;
    HRESULT GetCommandId(TCAFId* id) override;

    bool enabled = false;
    bool checked = false;
    bool hasText = false;
    KVD::String text;

private:
    TCAFId mId;
};

}  // namespace Host
