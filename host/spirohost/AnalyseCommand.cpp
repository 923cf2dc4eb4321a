// spirohost analyse: the main job. It loads a recording and the plug-in, sets the spirometry
// document up over the selected range as a user would and saves the report through the
// registered CSV Save As class.
#include <iostream>

#include "foundation/KVDResultCodes.h"
#include "foundation/ResultCodeText.h"
#include "foundation/TextConversion.h"
#include "host/saveas/SaveAsFormats.h"
#include "spirohost/AnalysedDocument.h"

namespace SpiroHost {
namespace {

int Analyse(const AnalysisSettings& s, const std::string& csvPath)
{
    AnalysedDocument analysed(s);
    const std::vector<Host::SaveAsFormat> formats = Host::RegisteredSaveAsFormats();
    const Host::SaveAsFormat* csv = Host::FindSaveAsFormat(formats, "csv");
    if (csv == nullptr)
        throw AnalysisError("the plug-in offers no CSV format");
    std::string why;
    const HRESULT hr = Host::SaveDocumentAs(*csv, &analysed.Data().Document(), csvPath, &why);
    analysed.Close();
    if (hr == KVD_E_REPORTMESSAGE) {
        std::cerr << "spirohost analyse: " << why << "\n";
        return 1;
    }
    if (hr != KVD_S_OK)
        throw AnalysisError("the report could not be written to " + csvPath + ": " +
                            (why.empty() ? KVD::ToU8String(KVD::ResultCodeText(hr)) : why));
    std::cout << "Report written to " << csvPath << "\n";
    return 0;
}

}  // namespace

int RunAnalyse(const Args& args)
{
    AnalysisSettings s;
    std::string csv;
    std::string units = "L";
    po::options_description options("options");
    AddAnalysisOptions(options, s, units);
    options.add_options()("csv", po::value<std::string>(&csv)->required(), "the report file to write");
    po::positional_options_description positional;
    positional.add("recording", 1);
    Parsed parsed = ParseOptions("analyse", "RECORDING --raw N [--head N | --scale S] [--select FROM:TO] --csv FILE",
                                 options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    const std::string error = ReadAnalysisOptions(parsed.values, s, units);
    if (!error.empty()) {
        std::cerr << "spirohost analyse: " << error << "\n";
        return 2;
    }
    InstallAnswers(parsed.values);
    try {
        return Analyse(s, csv);
    } catch (const AnalysisError& e) {
        std::cerr << "spirohost analyse: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace SpiroHost
