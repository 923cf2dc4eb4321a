// spirohost view: opens a view of an analysed recording through its registered view class, as
// the host does for the document's menu commands, lets its pages settle and writes what it
// shows: the window as PNG, the view's print to PDF, the view's copy (the pasteboard's PDF).
#include <chrono>
#include <iostream>
#include <sstream>

#include "FrameworkIds.h"
#include "IDocView.h"
#include "appkit/Pasteboard.h"
#include "appkit/RunLoop.h"
#include "appkit/Window.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/TextConversion.h"
#include "host/document/DocumentBase.h"
#include "host/views/ViewCommands.h"
#include "spirohost/AnalysedDocument.h"
#include "web/Page.h"

namespace SpiroHost {
namespace {

struct ViewOutputs {
    std::string view;
    std::string png;
    std::string print;
    std::string copy;
    double settle = 0.5;
};

std::string Hex(HRESULT hr)
{
    std::ostringstream code;
    code << "0x" << std::hex << uint32_t(hr);
    return code.str();
}

// Serves the pages' calls and runs the timers for a while, so that pages that ask the host for
// data have drawn it.
void Settle(double seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        Web::Page::ServeCalls();
        AppKit::RunLoop::Main().RunFor(0.02);
    } while (std::chrono::steady_clock::now() < until);
    Web::Page::ServeCalls();
}

// The view open on the spirometry document, closed with the object.
class OpenedView {
public:
    OpenedView(ICustomDocument* spirometry, const std::string& name) : mDocument(KVD::com_cast(spirometry))
    {
        const KVD::COMPtr<IDocViewClass> cls(
            KVD::com_cast(FindClass(CATID_OrrelViewClass, KVD::ToKVDString(name).c_str()).get()));
        TCAFId type = 0;
        if (cls == nullptr || cls->GetTypeId(&type) != KVD_S_OK || mDocument == nullptr)
            throw AnalysisError("\"" + name + "\" is no view class");
        const HRESULT hr = mDocument->OpenView(type, mView.Set());
        if (mView == nullptr)
            throw AnalysisError("the view \"" + name + "\" could not be opened (" + Hex(hr) + ")");
    }
    ~OpenedView() { mDocument->CloseView(mView); }
    OpenedView(const OpenedView&) = delete;
    OpenedView& operator=(const OpenedView&) = delete;

    IUnknown* View() const { return mView; }
    // The view's window; null when it made none.
    AppKit::Window* Window() const
    {
        auto* base = dynamic_cast<Host::DocumentBase*>(mDocument.get());
        return base != nullptr ? reinterpret_cast<AppKit::Window*>(base->ViewWindow(mView).words[2]) : nullptr;
    }

private:
    KVD::COMPtr<IDocument> mDocument;
    KVD::COMPtr<IUnknown> mView;
};

int ShowView(const AnalysisSettings& s, const ViewOutputs& out)
{
    AnalysedDocument analysed(s);
    {
        const OpenedView view(analysed.Spirometry(), out.view);
        Settle(out.settle);
        if (!out.png.empty()) {
            AppKit::Window* window = view.Window();
            if (window == nullptr || !window->RenderToPng(out.png))
                throw AnalysisError("the view's window could not be written to " + out.png);
            std::cout << "View written to " << out.png << "\n";
        }
        if (!out.print.empty()) {
            const HRESULT hr = Host::ViewCommands::PrintToPdf(view.View(), out.print);
            if (hr != KVD_S_OK)
                throw AnalysisError("the view could not be printed to " + out.print + " (" + Hex(hr) + ")");
            std::cout << "View printed to " << out.print << "\n";
        }
        if (!out.copy.empty()) {
            AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
            pasteboard.Clear();
            const HRESULT hr = Host::ViewCommands::Perform(view.View(), Host::ViewCommands::kCopy);
            if (hr != KVD_S_OK || !pasteboard.SaveTo(AppKit::Pasteboard::kPdfType, out.copy))
                throw AnalysisError("the view's copy could not be written to " + out.copy + " (" + Hex(hr) + ")");
            std::cout << "View copied to " << out.copy << "\n";
        }
    }
    analysed.Close();
    return 0;
}

}  // namespace

int RunView(const Args& args)
{
    AnalysisSettings s;
    ViewOutputs out;
    std::string units = "L";
    po::options_description options("options");
    AddAnalysisOptions(options, s, units);
    options.add_options()
        ("view", po::value<std::string>(&out.view)->required(),
         "the view class to open: \"Spirometry Report\", \"Spirometry Data View\" or \"Spirometry Loop View\"")
        ("png", po::value<std::string>(&out.png), "write the view's window as PNG")
        ("print", po::value<std::string>(&out.print), "print the view to this PDF file")
        ("copy", po::value<std::string>(&out.copy), "copy the view and write the copied PDF to this file")
        ("settle", po::value<double>(&out.settle)->default_value(out.settle),
         "seconds to let the view's pages draw before writing");
    po::positional_options_description positional;
    positional.add("recording", 1);
    Parsed parsed = ParseOptions("view",
                                 "RECORDING --raw N [analyse's options] --view NAME [--png FILE] [--print FILE] "
                                 "[--copy FILE]",
                                 options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    std::string error = ReadAnalysisOptions(parsed.values, s, units);
    if (error.empty() && !(out.settle >= 0.0 && out.settle <= 60.0))
        error = "--settle takes seconds from 0 to 60";
    if (!error.empty()) {
        std::cerr << "spirohost view: " << error << "\n";
        return 2;
    }
    InstallAnswers(parsed.values);
    try {
        return ShowView(s, out);
    } catch (const AnalysisError& e) {
        std::cerr << "spirohost view: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace SpiroHost
