#include "host/views/ViewCommands.h"

#include <chrono>
#include <cstdio>
#include <sys/stat.h>

#include "FrameworkIds.h"
#include "ICAFCommandHandler.h"
#include "IMessageHandler.h"
#include "appkit/PrintView.h"
#include "appkit/RunLoop.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "host/commands/CommandEnabler.h"
#include "host/framework/FrameworkServices.h"
#include "host/framework/Message.h"
#include "web/Page.h"

namespace Host {
namespace {

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

bool Written(const std::string& path)
{
    struct stat written {};
    return ::stat(path.c_str(), &written) == 0 && written.st_size > 0;
}

}  // namespace

ViewCommands::State ViewCommands::Query(IUnknown* view, Command command)
{
    const CommandIds ids = IdsOf(command);
    if (ids.command == 0)
        return {true, {}};
    const KVD::COMPtr<ICAFCommandHandler> handler(KVD::com_cast(view));
    CommandEnabler enabler(ids.command);
    if (handler != nullptr)
        handler->CommandEnable(ids.command, &enabler);
    return {enabler.enabled, KVD::ToU8String(enabler.text)};
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
    // A plot prints when its page answers with the plot's SVG: the pages' calls are served until
    // the file is there, for a bounded time.
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(kPageAnswerSeconds);
    while ((hr == KVD_S_OK || hr == KVD_S_FALSE) && !Written(path) && std::chrono::steady_clock::now() < until) {
        Web::Page::ServeCalls();
        AppKit::RunLoop::Main().RunFor(0.01);
    }
    info.savingPath = before;
    if (hr == KVD_S_OK || hr == KVD_S_FALSE)
        hr = Written(path) ? KVD_S_OK : KVD_E_BADSTATE;
    return hr;
}

}  // namespace Host
