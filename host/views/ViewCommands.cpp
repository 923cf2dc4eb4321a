#include "host/views/ViewCommands.h"

#include <sys/stat.h>

#include <chrono>

#include "FrameworkIds.h"
#include "ICAFCommandHandler.h"
#include "IMessageHandler.h"
#include "appkit/PrintView.h"
#include "appkit/RunLoop.h"
#include "appkit/Window.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "host/commands/CommandEnabler.h"
#include "host/framework/FrameworkServices.h"
#include "host/framework/Message.h"
#include "host/framework/ResultText.h"
#include "host/framework/SafeFile.h"
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

std::string ViewCommands::AwaitPages(const std::function<bool()>& done, const AppKit::Window* window)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(kPageAnswerSeconds);
    for (;;) {
        if (done())
            return {};
        const std::string failure = window != nullptr ? window->ContentView().DrawingFailureWithin() : std::string();
        if (!failure.empty())
            return failure;
        if (std::chrono::steady_clock::now() >= until)
            return "the view's pages gave nothing within " + std::to_string(int(kPageAnswerSeconds)) + " s";
        Web::Page::ServeCalls();
        AppKit::RunLoop::Main().RunFor(0.01);
    }
}

HRESULT ViewCommands::PrintToPdf(IUnknown* view, const std::string& path, std::string* why,
                                 const AppKit::Window* window)
{
    SafeFile file(path);
    AppKit::PrintInfo& info = AppKit::PrintInfo::Shared();
    const std::string before = info.savingPath;
    info.savingPath = file.ScratchPath();
    HRESULT hr = Perform(view, kPrint);
    std::string failure = hr == KVD_E_BADSTATE ? "the view offers no print command"
                          : hr == KVD_E_NOINTERFACE ? "the view takes no commands"
                                                    : "the view refused to print: " + ResultText(hr);
    // The print view writes the whole file at once, or leaves it empty.
    if (hr == KVD_S_OK || hr == KVD_S_FALSE)
        failure = AwaitPages([&] { return Written(file.ScratchPath()); }, window);
    info.savingPath = before;
    if (!failure.empty()) {
        if (why != nullptr)
            *why = failure;
        return KVD_E_BADSTATE;
    }
    file.Commit();
    return KVD_S_OK;
}

}  // namespace Host
