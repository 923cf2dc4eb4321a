// spirohost dialog: opens a calculation's settings dialog on a recording and answers it from a
// script of user actions, as a person at the screen would; the calculation then runs with what
// the dialog gave it, and its samples can be written out. The raw channel is made the flow
// calculation's source first, in the flow dialog, the way a user sets a document up.
#include <cstdio>
#include <deque>
#include <iostream>
#include <memory>

#include "CalcCategories.h"
#include "IChannelCalc.h"
#include "IFramework.h"
#include "IPersistObject.h"
#include "foundation/TextConversion.h"
#include "host/document/DataDocument.h"
#include "host/framework/SafeFile.h"
#include "host/loader/ClassRegistration.h"
#include "spirohost/AnalysedDocument.h"
#include "spirohost/SampleLines.h"
#include "spirohost/ScriptedUser.h"

namespace SpiroHost {
namespace {

class DialogError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The calculations a dialog can be opened on, by the name the option takes.
struct CalcKind {
    const char* option;
    const wchar_t* className;
    const char* channelTitle;
    const char* unit;
};

const CalcKind kKinds[] = {
    {"flow", L"Spirometry Flow", "Flow", "L/s"},
    {"volume", L"Spirometry Volume", "Volume", "L"},
    {"tidal", L"Spirometry Tidal Volume", "Tidal Volume", "L"},
    {"minvent", L"Spirometry Minute Ventilation", "Minute Ventilation", "L/min"},
};

KVD::COMPtr<ICalculationClass> FindCalculationClass(const wchar_t* name)
{
    const std::string text = KVD::ToU8String(KVD::String(name));
    KVD::COMPtr<ICAFClassObject> cls = Host::FindClassObject(CATID_CHANNELCALCULATIONS, text);
    if (cls == nullptr)
        throw DialogError("the plug-in registered no calculation \"" + text + "\"");
    return KVD::COMPtr<ICalculationClass>(KVD::com_cast(cls.get()));
}

// A calculation on a channel of its own, with the settings it makes by default.
class CalcChannel {
public:
    CalcChannel(Host::DataDocument& document, const CalcKind& kind)
        : mDocument(document), mClass(FindCalculationClass(kind.className))
    {
        mChannel = document.AddChannel(kind.channelTitle, kind.unit);
        KVD::COMPtr<IPersistObject> settings;
        if (mClass != nullptr)
            mClass->Create(TChannelId{mChannel, 0}, &document.Data(), mCalculation.Set());
        if (mCalculation != nullptr)
            mCalculation->GetSettings(settings.Set());
        if (settings == nullptr || mCalculation->Configure(settings, kAutoTrue) != KVD_S_OK ||
            document.Data().SetCalculation(TChannelId{mChannel, 0}, mCalculation) != KVD_S_OK)
            throw DialogError("the calculation \"" + KVD::ToU8String(kind.className) + "\" could not be put on a channel");
    }

    int Channel() const { return mChannel; }

    // The host's settings request: the dialog, then what it answered applied. True when accepted.
    bool Edit()
    {
        KVD::COMPtr<IPersistObject> current;
        mCalculation->GetSettings(current.Set());
        KVD::COMPtr<IPersistObject> edited;
        const HRESULT hr = mClass->SettingsDialog(HWND{}, nullptr, mDocument.AutoDocument(), nullptr,
                                                  TChannelId{mChannel, 0}, current, edited.Set());
        if (hr != KVD_S_OK || edited == nullptr)
            return false;
        const HRESULT configured = mCalculation->Configure(edited, kAutoFalse);
        if (configured != KVD_S_OK && configured != KVD_S_FALSE)
            throw DialogError("the calculation did not take the settings of its dialog");
        return true;
    }

private:
    Host::DataDocument& mDocument;
    KVD::COMPtr<ICalculationClass> mClass;
    KVD::COMPtr<ICalculation> mCalculation;
    int mChannel = 0;
};

// The flow gain the calibration dialog takes.
constexpr double kMinFlowGain = 0.01;
constexpr double kMaxFlowGain = 100.0;

std::pair<uint32_t, uint32_t> SelectedTicks(const po::variables_map& v, const Host::Recording& recording)
{
    const uint32_t ticks = recording.Record(0).ticks;
    if (!v.count("select"))
        return {0, ticks};
    const auto [from, to] = SpiroHost::SelectedTicks(v["select"].as<std::string>(), recording.TickRate(), ticks,
                                                     "the first record");
    return {uint32_t(from), uint32_t(to)};
}

// Every record's samples, a gap row between records, so that the file reads back as a
// recording of as many records.
void WriteSamples(Host::DataDocument& document, int channel, const std::string& path)
{
    const Host::Recording& recording = document.Channels().GetRecording();
    Host::SafeFile file(path);
    for (size_t r = 0; r < recording.RecordCount(); ++r) {
        const auto samples = document.Channels().Floats(int(r), channel, 0);
        if (samples == nullptr)
            throw DialogError("the calculation computed no samples");
        if (r > 0)
            WriteRecordEnd(file.Stream(), recording.Record(r - 1).ticks, recording.TickRate());
        if (samples->Size() > 0)
            WriteSampleLines(file.Stream(), *samples, 0, uint32_t(samples->Size() - 1), recording.TickRate());
    }
    file.Commit();
}

// The flow dialog's answers that make the raw channel its source and, with --scale, the custom
// head's gain the scale (typed in the calibration dialog that choosing the head opens), so
// that the calculations compute what spirohost analyse does with the same options.
std::deque<Action> FlowSetUp(const po::variables_map& v, const std::string& rawTitle)
{
    std::deque<Action> actions{{"choose", "srcList", rawTitle}};
    if (v.count("scale")) {
        const double scale = v["scale"].as<double>();
        if (!(scale >= kMinFlowGain && scale <= kMaxFlowGain))
            throw DialogError("--scale takes a flow gain from 0.01 to 100");
        char text[32];
        std::snprintf(text, sizeof text, "%.10g", scale);
        actions.push_back({"choose", "headList", "Custom"});
        actions.push_back({"set", "flowGain", text});
        actions.push_back({"press", "OK", ""});
    }
    actions.push_back({"press", "OK", ""});
    return actions;
}

int RunDialogOn(const po::variables_map& v)
{
    const std::string calc = v["calc"].as<std::string>();
    const CalcKind* kind = nullptr;
    for (const CalcKind& k : kKinds)
        if (calc == k.option)
            kind = &k;
    if (kind == nullptr)
        throw DialogError("--calc takes flow, volume, tidal or minvent, not \"" + Shortened(calc) + "\"");
    std::deque<Action> actions;
    if (v.count("do"))
        for (const std::string& text : v["do"].as<std::vector<std::string>>())
            actions.push_back(ParseAction(text));

    const std::string path = v["recording"].as<std::string>();
    const bool writes = v.count("csv") != 0;
    const std::string csv = writes ? v["csv"].as<std::string>() : "";
    const std::vector<Output> outputs =
        WithSnapshots(writes ? std::vector<Output>{{"--csv", csv}} : std::vector<Output>{}, actions, "--do");
    std::string refusal = RefuseOutputs(outputs, path);
    if (refusal.empty())
        refusal = RefuseOtherFormat("--csv", csv, "csv");
    if (!refusal.empty()) {
        std::cerr << "spirohost dialog: " << refusal << "\n";
        return 2;
    }
    if (writes)
        Host::SafeFile::CheckTarget(csv);
    InstallAnswers(v, outputs);
    const PluginSession plugin(v["bundle"].as<std::string>());
    auto recording = std::make_shared<Host::Recording>(Host::LoadRecording(path));
    const int raw = v["raw"].as<int>();
    if (raw < 1 || size_t(raw) > recording->ChannelCount() || recording->RecordCount() == 0)
        throw DialogError(recording->Path() + " has no channel " + std::to_string(raw) + " in a record");
    const auto [from, to] = SelectedTicks(v, *recording);

    Host::DataDocument document(recording);
    CalcChannel flow(document, kKinds[0]);
    CalcChannel volume(document, kKinds[1]);
    std::unique_ptr<CalcChannel> formula;
    if (kind != &kKinds[0] && kind != &kKinds[1])
        formula = std::make_unique<CalcChannel>(document, *kind);
    document.Select(KVDPosition{from, 0}, KVDPosition{to, 0});
    CalcChannel& edited = kind == &kKinds[0] ? flow : kind == &kKinds[1] ? volume : *formula;

    // Set up as a user would: the raw channel as the flow's source; the flow the source of the
    // calculation the dialog is opened on, so that a cancelled dialog leaves it computing.
    ScriptedUser user(FlowSetUp(v, recording->Channel(size_t(raw - 1)).title));
    bool accepted = flow.Edit();
    if (&edited != &flow) {
        user.Add({{"choose", "srcList", kKinds[0].channelTitle}, {"press", "OK", ""}});
        accepted = accepted && edited.Edit();
    }
    if (!accepted || !user.Failure().empty())
        throw DialogError("the set-up of the calculations failed: " + user.Failure());

    user.Add(std::move(actions));
    accepted = edited.Edit();
    if (!user.Failure().empty())
        throw DialogError(user.Failure());
    if (user.ActionsLeft() != 0)
        throw DialogError(std::to_string(user.ActionsLeft()) + " actions were left when the dialogs had closed");
    // What the dialog gave is told only once it is written.
    if (writes)
        WriteSamples(document, edited.Channel(), csv);
    Said(outputs) << (accepted ? "accepted" : "cancelled") << "\n";
    document.Close();
    return 0;
}

}  // namespace

int RunDialog(const Args& args)
{
    po::options_description options("options");
    options.add_options()
        ("recording", po::value<std::string>()->required(), "an EDF, EDF+ or CSV recording")
        ("raw", po::value<int>()->required(), "1-based number of the flow head's raw channel")
        ("calc", po::value<std::string>()->required(), "the calculation whose dialog opens: flow, volume, tidal or "
                                                       "minvent")
        ("scale", po::value<double>(), "custom flow-head scale: flow = raw x S (L/s per raw unit), set in the flow "
                                       "dialog before the actions")
        ("select", po::value<std::string>(), "FROM:TO in seconds of the first record (default: all of it); "
                                             "calibrations work over it")
        ("do", po::value<std::vector<std::string>>()->composing(),
         "a user action, in order across the dialogs that open (repeatable): set FIELD=TEXT, choose POPUP=ITEM, "
         "click CONTROL, press BUTTON, snapshot FILE, wait SECONDS; controls by outlet name or title")
        ("csv", po::value<std::string>(), "write the calculation's samples afterwards: time (s),value per line, "
                                          "a gap row (time,) between records");
    AddBundleOption(options);
    AddAnswerOption(options);
    po::positional_options_description positional;
    positional.add("recording", 1);
    Parsed parsed = ParseOptions("dialog", "RECORDING --raw N [--scale S] --calc flow|volume|tidal|minvent "
                                           "[--select FROM:TO] [--do ACTION]... [--csv FILE]",
                                 options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    try {
        return RunDialogOn(parsed.values);
    } catch (const std::runtime_error& e) {  // the command's own and the script's
        std::cerr << "spirohost dialog: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace SpiroHost
