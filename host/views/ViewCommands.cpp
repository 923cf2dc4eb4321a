#include "host/views/ViewCommands.h"

#include <cstdio>
#include <sys/stat.h>

#include "FrameworkIds.h"
#include "ICAFCommandHandler.h"
#include "IKVDString.h"
#include "IMessageHandler.h"
#include "appkit/PrintView.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"
#include "host/Message.h"
#include "host/FrameworkServices.h"

namespace Host {
namespace {

// The view's answers to one enable request.
class Enabler final : public ICAFCommandEnabler {
public:
    explicit Enabler(TCAFId id) : mId(id) {}
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = iid == IID_IUnknown || iid == IID_ICAFCommandEnabler ? this : nullptr;
        return *out == nullptr ? KVD_E_NOINTERFACE : KVD_S_OK;
    }
    HRESULT SetText(IAutoKVDString* text) override
    {
        state.text = KVD::ToU8String(KVD::String(text));
        return KVD_S_OK;
    }
    HRESULT Enable(AutoBool enabled) override
    {
        state.enabled = enabled != kAutoFalse;
        return KVD_S_OK;
    }
    HRESULT SetCheck(AutoBool) override { return KVD_S_OK; }
    HRESULT GetCommandId(TCAFId* id) override
    {
        if (id == nullptr)
            return KVD_E_POINTER;
        *id = mId;
        return KVD_S_OK;
    }

    ViewCommands::State state;

private:
    TCAFId mId;
};

struct CommandIds {
    TCAFId command;  // 0: no enable
    TCAFId message;
};

CommandIds IdsOf(ViewCommands::Command command)
{
    switch (command) {
    case ViewCommands::kCopy:
        return {kCmdId_CopyToClipboard, kMsgId_Copy};
    case ViewCommands::kPrint:
        return {kCmdId_Print, kMsgId_Print};
    case ViewCommands::kPrintPreview:
        return {kCmdId_PrintPreview, kMsgId_PrintPreview};
    case ViewCommands::kPageSetup:
        break;
    }
    return {0, kMsgId_PageSetup};
}

// The framework's default flags of the view commands' messages.
constexpr uint32_t kViewCommandFlags = 0x40;

}  // namespace

ViewCommands::State ViewCommands::Query(IUnknown* view, Command command)
{
    const CommandIds ids = IdsOf(command);
    if (ids.command == 0)
        return {true, {}};
    const KVD::COMPtr<ICAFCommandHandler> handler(KVD::com_cast(view));
    Enabler enabler(ids.command);
    if (handler != nullptr)
        handler->CommandEnable(ids.command, &enabler);
    return enabler.state;
}

HRESULT ViewCommands::Perform(IUnknown* view, Command command)
{
    const KVD::COMPtr<IMessageHandler> handler(KVD::com_cast(view));
    if (handler == nullptr)
        return KVD_E_NOINTERFACE;
    if (!Query(view, command).enabled)
        return KVD_E_BADSTATE;
    const uint32_t noParameters = 0;
    KVD::COMPtr<IMessage> message;
    const HRESULT hr = Message::Create(IdsOf(command).message, kViewCommandFlags, 0, nullptr, &noParameters, message.Set());
    if (message == nullptr)
        return hr;
    KVD::COMPtr<IMessageProcessor> processor;
    FrameworkServices::QueryInterface(IID_IMessageProcessor, processor.Set());
    return processor == nullptr ? KVD_E_BADSTATE : processor->DeliverMessage(message, handler);
}

HRESULT ViewCommands::PrintToPdf(IUnknown* view, const std::string& path)
{
    AppKit::PrintInfo& info = AppKit::PrintInfo::Shared();
    const std::string before = info.savingPath;
    info.savingPath = path;
    ::remove(path.c_str());
    HRESULT hr = Perform(view, kPrint);
    info.savingPath = before;
    struct stat written {};
    if (hr == KVD_S_OK || hr == KVD_S_FALSE)
        hr = ::stat(path.c_str(), &written) == 0 && written.st_size > 0 ? KVD_S_OK : KVD_E_BADSTATE;
    return hr;
}

}  // namespace Host
