// spirohost analyse: the main job. It loads a recording and the plug-in, sets the spirometry
// document up over the selected range as a user would and saves the report through the
// registered CSV Save As class. Given actions, it first opens the document's settings through
// its menu and answers the dialog with them, as a user would before saving.
#include <iostream>

#include "foundation/KVDResultCodes.h"
#include "foundation/ResultCodeText.h"
#include "foundation/TextConversion.h"
#include "host/saveas/SaveAsFormats.h"
#include "host/data/Adopt.h"
#include "host/sampling/SimulatedDeviceManager.h"
#include "spirohost/AnalysedDocument.h"

namespace SpiroHost {
namespace {

using Strings = std::vector<std::string>;

// A simulated flow head sampling the recording's channels at its rate, as the document's device.
KVD::COMPtr<Host::SimulatedDeviceManager> AttachFlowHead(Host::DataDocument& data)
{
    const Host::Recording& recording = data.Channels().GetRecording();
    Host::SyntheticOptions breathing;
    breathing.rate = int(recording.TickRate());
    auto manager = Host::Adopt(Host::SimulatedDeviceManager::Create(
        std::make_shared<Host::BreathingSource>(breathing, recording.ChannelCount())));
    data.Document().SetDeviceManager(manager.get());
    return manager;
}

// outputs: the report's (--csv) first, then the snapshots'.
int Analyse(const AnalysisSettings& s, const std::vector<Output>& outputs, std::deque<Action> actions, bool live)
{
    const std::string& csvPath = outputs.front().path;
    AnalysedDocument analysed(s);
    KVD::COMPtr<Host::SimulatedDeviceManager> device;
    if (live)
        device = AttachFlowHead(analysed.Data());
    if (!actions.empty())
        EditSettings(std::move(actions));
    if (device != nullptr) {
        device->Stop(0);
        analysed.Data().Document().SetDeviceManager(nullptr);
    }
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
    Said(outputs) << "Report written to " << csvPath << "\n";
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
    Strings settingsActions;
    bool live = false;
    options.add_options()("csv", po::value<std::string>(&csv)->required(), "the report file to write");
    AddSettingsOption(options, settingsActions);
    options.add_options()(
        "live", po::bool_switch(&live),
        "give the document a simulated flow head on the recording's channels, which the settings preview can "
        "monitor (click monitor, wait SECONDS)");
    po::positional_options_description positional;
    positional.add("recording", 1);
    Parsed parsed = ParseOptions("analyse",
                                 "RECORDING --raw N [--head N | --scale S] [--select FROM:TO] [options] [--live] "
                                 "[--settings ACTION]... --csv FILE",
                                 options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    std::string error = ReadAnalysisOptions(parsed.values, s, units);
    if (error.empty())
        error = RefuseOutputs({{"--csv", csv}}, s.recording);
    if (!error.empty()) {
        std::cerr << "spirohost analyse: " << error << "\n";
        return 2;
    }
    try {
        std::deque<Action> actions = SettingsActions(settingsActions);
        const std::vector<Output> outputs = WithSnapshots({{"--csv", csv}}, actions, "--settings");
        if (const std::string refusal = RefuseOutputs(outputs, s.recording); !refusal.empty()) {
            std::cerr << "spirohost analyse: " << refusal << "\n";
            return 2;
        }
        InstallAnswers(parsed.values, outputs);
        return Analyse(s, outputs, std::move(actions), live);
    } catch (const std::runtime_error& e) {  // the analysis's and the script's
        std::cerr << "spirohost analyse: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace SpiroHost
