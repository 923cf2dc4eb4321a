// The host's standard commands on a plug-in view: copy, print, print preview and page setup.
// The host asks the view whether a command is offered and under which text (the command's
// enable), and carries it out by sending the view the matching framework message. Printing
// goes to a PDF file, this platform's printer; copying goes to the general pasteboard.
#pragma once

#include <functional>
#include <string>

#include "IUnknown.h"

namespace AppKit {
class Window;
}

namespace Host {

class ViewCommands {
public:
    enum Command { kCopy, kPrint, kPrintPreview, kPageSetup };

    struct State {
        bool enabled = false;
        std::string text;  // empty when the view gives none
    };

    // What the view says of the command; page setup, which has no enable, is always offered.
    static State Query(IUnknown* view, Command command);
    // Sends the command's message to the view when it is offered; KVD_E_BADSTATE when it is
    // not, KVD_E_NOINTERFACE for an object that is no view.
    static HRESULT Perform(IUnknown* view, Command command);
    // How long a print waits for a page to answer with what it prints.
    static constexpr double kPageAnswerSeconds = 10.0;

    // Prints the view into the PDF file through the safe-write path, serving the pages' calls
    // until the print arrives (a plot prints when its page answers), for at most
    // kPageAnswerSeconds and only while every view of the window (when given) can draw.
    // KVD_E_BADSTATE when nothing was printed, with the reason in *why; throws FileWriteError
    // when the file cannot be written, leaving what was there.
    static HRESULT PrintToPdf(IUnknown* view, const std::string& path, std::string* why = nullptr,
                              const AppKit::Window* window = nullptr);
    // Serves the pages' calls until done() holds, for at most kPageAnswerSeconds and only while
    // every view of the window (when given) can draw; the reason when it did not come to hold.
    static std::string AwaitPages(const std::function<bool()>& done, const AppKit::Window* window);
};

}  // namespace Host
