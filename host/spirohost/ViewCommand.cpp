// spirohost view: opens a view of an analysed recording through its registered view class, as
// the host does for the document's menu commands, lets its pages settle and writes what it
// shows: the window as PNG, the view's print to PDF, the view's copy (the pasteboard's PDF).
#include <iostream>

#include "host/framework/SafeFile.h"
#include "host/views/OpenedView.h"
#include "spirohost/AnalysedDocument.h"

namespace SpiroHost {
namespace {

struct ViewOutputs {
    std::string view;
    std::string png;
    std::string print;
    std::string copy;
    double settle = 0.5;
};

// A target that cannot take the file (an empty name too) is refused before the pages are
// waited for.
void CheckTargets(const po::variables_map& values)
{
    for (const char* option : {"png", "print", "copy"})
        if (values.count(option))
            Host::SafeFile::CheckTarget(values[option].as<std::string>());
}

int ShowView(const AnalysisSettings& s, const ViewOutputs& out)
{
    AnalysedDocument analysed(s);
    try {
        const Host::OpenedView view(analysed.Spirometry(), out.view);
        Host::SettlePages(out.settle);
        std::ostream& said = Said({out.png, out.print, out.copy});
        if (!out.png.empty()) {
            view.WritePng(out.png);
            said << "View written to " << out.png << "\n";
        }
        if (!out.print.empty()) {
            view.PrintToPdf(out.print);
            said << "View printed to " << out.print << "\n";
        }
        if (!out.copy.empty()) {
            view.CopyToPdf(out.copy);
            said << "View copied to " << out.copy << "\n";
        }
    } catch (const Host::ViewError& e) {
        throw AnalysisError(e.what());
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
         "seconds (0 to 60) to let the view's pages draw before writing");
    po::positional_options_description positional;
    positional.add("recording", 1);
    Parsed parsed = ParseOptions("view",
                                 "RECORDING --raw N [analyse's options] --view NAME [--settle S] "
                                 "(--png FILE | --print FILE | --copy FILE)...",
                                 options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    std::string error = ReadAnalysisOptions(parsed.values, s, units);
    if (error.empty() && !(out.settle >= 0.0 && out.settle <= 60.0))
        error = "--settle takes seconds from 0 to 60";
    if (error.empty() && !parsed.values.count("png") && !parsed.values.count("print") && !parsed.values.count("copy"))
        error = "nothing to write: give --png, --print or --copy";
    std::vector<Output> outputs;
    for (const char* option : {"png", "print", "copy"})
        if (parsed.values.count(option))
            outputs.push_back({std::string("--") + option, parsed.values[option].as<std::string>()});
    if (error.empty())
        error = RefuseOutputs(outputs, s.recording);
    if (!error.empty()) {
        std::cerr << "spirohost view: " << error << "\n";
        return 2;
    }
    CheckTargets(parsed.values);
    InstallAnswers(parsed.values, outputs);
    try {
        return ShowView(s, out);
    } catch (const AnalysisError& e) {
        std::cerr << "spirohost view: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace SpiroHost
