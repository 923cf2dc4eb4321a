// spirohost analyse: the main job. It loads a recording and the plug-in, puts the plug-in's
// flow and volume calculations on two new channels, opens the spirometry document on the data,
// sets it up as a user would in its dialogs, selects the range and saves the report through
// the registered CSV Save As class.
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "CalcCategories.h"
#include "FrameworkIds.h"
#include "IChannelCalc.h"
#include "IPersistObject.h"
#include "ISpiroDocument.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/ResultCodeText.h"
#include "foundation/TextConversion.h"
#include "host/document/DataDocument.h"
#include "host/framework/Framework.h"
#include "host/framework/ParamBlock.h"
#include "host/loader/ClassRegistration.h"
#include "host/saveas/SaveAsFormats.h"
#include "spirohost/Options.h"
#include "spirohost/PluginSession.h"

namespace SpiroHost {
namespace {

// What the user chose; the document's own defaults where nothing was given.
struct AnalyseSettings {
    std::string recording;
    std::string csv;
    std::string bundle;
    int raw = 0;                  // 1-based
    std::optional<int> head;      // flow-head table entry
    std::optional<double> scale;  // L/s per raw unit
    std::optional<std::string> select;
    bool driftCorrection = false;
    bool compensation = false;
    double cyclePercent = 1.0;
    double forcedThreshold = 2.0;
    bool nonForced = false;
    int prefix = 8;  // L, or 7 mL
    double noiseFloor = 0.0;
    std::optional<double> volumeRatio;
    double deadSpace = 400.0;
};

class AnalyseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The document's settings-change message, as its settings dialog sends it.
typedef MsgIdClass<&Spirometry::SpiroDocumentGUID, Spirometry::kSpiroSettingsChangeMsgIndex> SettingsChangeMsgId;
constexpr uint32_t kRecordedChange = 32;
// The flow-head table's one head with a non-linear compensation.
constexpr int kNonLinearHead = 2;

void Check(bool ok, const std::string& message)
{
    if (!ok)
        throw AnalyseError(message);
}

// The first and last (exclusive) tick of the selection, counted from the start of the first
// record, mapped to positions in records.
KVDPosition PositionOf(const Host::Recording& recording, int64_t tick, bool end)
{
    for (size_t r = 0; r < recording.RecordCount(); ++r) {
        const int64_t ticks = recording.Record(r).ticks;
        if (tick < ticks || (end && tick == ticks))
            return KVDPosition{uint32_t(tick), int32_t(r)};
        tick -= ticks;
    }
    throw AnalyseError("the selection reaches beyond the end of the recording");
}

int64_t TotalTicks(const Host::Recording& recording)
{
    int64_t total = 0;
    for (size_t r = 0; r < recording.RecordCount(); ++r)
        total += recording.Record(r).ticks;
    return total;
}

std::pair<KVDPosition, KVDPosition> Selection(const Host::Recording& recording, const std::optional<std::string>& text)
{
    Check(recording.RecordCount() > 0, "the recording holds no record");
    if (!text)
        return {KVDPosition{0, 0}, KVDPosition{recording.Record(0).ticks, 0}};
    std::istringstream in(*text);
    in.imbue(std::locale::classic());
    double from = 0, to = 0;
    char colon = 0;
    Check(static_cast<bool>(in >> from >> colon >> to) && colon == ':' && in.peek() == EOF,
          "--select takes FROM:TO in seconds, not \"" + *text + "\"");
    Check(std::isfinite(from) && std::isfinite(to) && from >= 0 && from <= to,
          "the selection " + *text + " is not a range from the start of the recording onwards");
    const int64_t total = TotalTicks(recording);
    char end[32];
    std::snprintf(end, sizeof end, "%g", double(total) / recording.TickRate());
    Check(to * recording.TickRate() <= double(total) + 0.5,
          "the selection " + *text + " reaches beyond the end of the recording (at " + end + " s)");
    const int64_t first = std::llround(from * recording.TickRate());
    const int64_t last = std::llround(to * recording.TickRate());
    // An empty selection is one place: where one block ends and the next begins, the start of
    // the next.
    if (first == last && first < total)
        return {PositionOf(recording, first, false), PositionOf(recording, first, false)};
    return {PositionOf(recording, first, false), PositionOf(recording, last, true)};
}

KVD::COMPtr<ICAFClassObject> FindClass(const _IID& category, const wchar_t* name)
{
    KVD::COMPtr<IEnumClassObjects> classes;
    Host::Framework::Instance()->EnumClassObjectsInCategory(&category, classes.Set());
    ICAFClassObject* next = nullptr;
    while (classes != nullptr && classes->Next(1, &next, nullptr) == KVD_S_OK) {
        KVD::COMPtr<ICAFClassObject> cls(next);
        next->Release();
        KVD::String found;
        cls->GetObjectName(KVD::String::Setter(found));
        if (found == KVD::String(name))
            return cls;
    }
    throw AnalyseError("the plug-in registered no class \"" + KVD::ToU8String(name) + "\"");
}

// Puts the calculation of that name on the channel, with the settings it makes by default.
void PutCalculation(Host::DataDocument& document, const wchar_t* name, int channel)
{
    KVD::COMPtr<ICalculationClass> cls(KVD::com_cast(FindClass(CATID_CHANNELCALCULATIONS, name).get()));
    KVD::COMPtr<ICalculation> calculation;
    if (cls != nullptr)
        cls->Create(TChannelId{channel, 0}, &document.Data(), calculation.Set());
    KVD::COMPtr<IPersistObject> settings;
    if (calculation != nullptr)
        calculation->GetSettings(settings.Set());
    Check(settings != nullptr && calculation->Configure(settings, kAutoTrue) == KVD_S_OK &&
              document.Data().SetCalculation(TChannelId{channel, 0}, calculation) == KVD_S_OK,
          "the calculation \"" + KVD::ToU8String(name) + "\" could not be put on a channel");
}

KVD::COMPtr<ICustomDocument> OpenSpirometryDocument(Host::DataDocument& document)
{
    KVD::COMPtr<ICustomDocClass> cls(KVD::com_cast(FindClass(CATID_OrrelChildDocClass, L"SpiroDocument").get()));
    KVD::COMPtr<ICustomDocument> child;
    if (cls != nullptr)
        document.CreateChildDocument(cls, 0, nullptr, child.Set());
    Check(child != nullptr, "the spirometry document could not be created");
    return child;
}

// Settings that were there already are taken without effect (KVD_S_FALSE).
bool Succeeded(HRESULT hr)
{
    return hr == KVD_S_OK || hr == KVD_S_FALSE;
}

// What the flow and volume calculation dialogs and the settings dialog would set.
void SetUp(ICustomDocument* child, const AnalyseSettings& s, int flowChannel, int volumeChannel)
{
    // The settings dialog names the calculations' channels first: the calculation dialogs then
    // set up those channels, not others the document found by their units.
    KVD::COMPtr<IMessageHandler> handler(KVD::com_cast(child));
    Host::ParamBlock params;
    params.Add(s.forcedThreshold).Add(s.cyclePercent).Add(s.nonForced).Add(flowChannel).Add(volumeChannel);
    params.Add(s.prefix).Add(s.noiseFloor).Add(s.noiseFloor > 0.0);
    Check(Host::DeliverMessage(handler, SettingsChangeMsgId::GetId(), kRecordedChange, params) == KVD_S_OK,
          "the spirometry settings were not taken");
    KVD::COMPtr<Spirometry::ISpiroDocument> spiro(KVD::com_cast(child));
    Check(spiro != nullptr, "the spirometry document offers no settings");
    spiro->SetRawFlowChan(s.raw - 1);
    spiro->SetUseDriftCorr(s.driftCorrection ? kAutoTrue : kAutoFalse);
    if (s.head)
        spiro->SetFlowHead(*s.head);
    if (s.scale)
        spiro->SetCustomConst(*s.scale);
    Check(Succeeded(spiro->SetUsingCustom(s.scale ? kAutoTrue : kAutoFalse)), "the flow calculation was not set up");
    // After the head: compensation belongs to one head, and goes with any other.
    spiro->SetApplyNLC(s.compensation ? kAutoTrue : kAutoFalse);
    spiro->SetSpFlowChan(flowChannel);
    spiro->SetWarmDeadSpaceAir(s.deadSpace);
    spiro->SetVolRatio(s.volumeRatio.value_or(1.0));
    Check(Succeeded(spiro->SetUseVolCorr(s.volumeRatio ? kAutoTrue : kAutoFalse)),
          "the volume calculation was not set up");
}

int Analyse(const AnalyseSettings& s)
{
    auto recording = std::make_shared<Host::Recording>(Host::LoadRecording(s.recording));
    Check(s.raw >= 1 && size_t(s.raw) <= recording->ChannelCount(),
          s.recording + " has no channel " + std::to_string(s.raw) + " (it has " +
              std::to_string(recording->ChannelCount()) + ")");
    const auto [start, end] = Selection(*recording, s.select);

    const PluginSession plugin(s.bundle);
    Host::RegisterDocumentAndViewClasses();

    Host::DataDocument document(recording);
    const int flowChannel = document.AddChannel("Flow", "L/s");
    const int volumeChannel = document.AddChannel("Volume", "L");
    PutCalculation(document, L"Spirometry Flow", flowChannel);
    PutCalculation(document, L"Spirometry Volume", volumeChannel);
    const KVD::COMPtr<ICustomDocument> child = OpenSpirometryDocument(document);
    SetUp(child, s, flowChannel, volumeChannel);
    document.Select(start, end);

    const std::vector<Host::SaveAsFormat> formats = Host::RegisteredSaveAsFormats();
    const Host::SaveAsFormat* csv = Host::FindSaveAsFormat(formats, "csv");
    Check(csv != nullptr, "the plug-in offers no CSV format");
    std::string why;
    const HRESULT hr = Host::SaveDocumentAs(*csv, &document.Document(), s.csv, &why);
    document.Close();
    if (hr == KVD_E_REPORTMESSAGE) {
        std::cerr << "spirohost analyse: " << why << "\n";
        return 1;
    }
    Check(hr == KVD_S_OK, "the report could not be written to " + s.csv + ": " +
                              (why.empty() ? KVD::ToU8String(KVD::ResultCodeText(hr)) : why));
    std::cout << "Report written to " << s.csv << "\n";
    return 0;
}

}  // namespace

int RunAnalyse(const Args& args)
{
    AnalyseSettings s;
    std::string units = "L";
    po::options_description options("options");
    options.add_options()
        ("recording", po::value<std::string>(&s.recording)->required(), "an EDF, EDF+ or CSV recording")
        ("raw", po::value<int>(&s.raw)->required(), "1-based number of the flow head's raw channel")
        ("head", po::value<int>(), "flow-head table entry (0 to 4)")
        ("scale", po::value<double>(), "custom flow-head scale: flow = raw x S (L/s per raw unit)")
        ("select", po::value<std::string>(), "FROM:TO in seconds from the start of the first record (default: the "
                                             "whole first record)")
        ("csv", po::value<std::string>(&s.csv)->required(), "the report file to write")
        ("drift-correction", po::bool_switch(&s.driftCorrection), "remove the baseline drift of the raw signal")
        ("compensation", po::bool_switch(&s.compensation), "apply the flow head's non-linear compensation")
        ("cycle-level", po::value<double>(&s.cyclePercent)->default_value(s.cyclePercent),
         "breath-detection level, % of the flow channel's full range (0.01 to 10)")
        ("forced-threshold", po::value<double>(&s.forcedThreshold)->default_value(s.forcedThreshold),
         "a breath is forced from this multiple of the average volume (0.1 to 10)")
        ("non-forced", po::bool_switch(&s.nonForced), "list the non-forced breaths in the report too")
        ("units", po::value<std::string>(&units)->default_value(units), "report volumes and flows in L or mL")
        ("noise-floor", po::value<double>(&s.noiseFloor)->default_value(s.noiseFloor),
         "flow below this magnitude (L/s) counts as 0; 0 for none")
        ("volume-ratio", po::value<double>(), "correct expired volume by this ratio (0.01 to 10)")
        ("dead-space", po::value<double>(&s.deadSpace)->default_value(s.deadSpace),
         "dead space of the volume correction (mL, 0 to 10000)");
    AddBundleOption(options);
    AddAnswerOption(options);
    po::positional_options_description positional;
    positional.add("recording", 1);
    Parsed parsed = ParseOptions("analyse", "RECORDING --raw N [--head N | --scale S] [--select FROM:TO] --csv FILE",
                                 options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    const po::variables_map& v = parsed.values;
    s.bundle = v["bundle"].as<std::string>();
    if (v.count("head"))
        s.head = v["head"].as<int>();
    if (v.count("scale"))
        s.scale = v["scale"].as<double>();
    if (v.count("select"))
        s.select = v["select"].as<std::string>();
    if (v.count("volume-ratio"))
        s.volumeRatio = v["volume-ratio"].as<double>();
    s.prefix = units == "mL" ? 7 : 8;
    std::string error;
    if (s.head && s.scale)
        error = "--head and --scale exclude each other";
    else if (s.head && (*s.head < 0 || *s.head > 4))
        error = "--head takes a flow-head table entry from 0 to 4";
    else if (s.scale && !(std::isfinite(*s.scale) && *s.scale > 0.0))
        error = "--scale takes a finite scale greater than 0";
    else if (s.compensation && s.head != kNonLinearHead)
        error = "--compensation applies only to flow head 2 (--head 2)";
    else if (!(s.cyclePercent >= 0.01 && s.cyclePercent <= 10.0))
        error = "--cycle-level takes a percentage from 0.01 to 10";
    else if (!(s.forcedThreshold >= 0.1 && s.forcedThreshold <= 10.0))
        error = "--forced-threshold takes a multiple from 0.1 to 10";
    else if (units != "L" && units != "mL")
        error = "--units takes L or mL";
    else if (!(s.noiseFloor >= 0.0 && std::isfinite(s.noiseFloor)))
        error = "--noise-floor takes a finite flow of 0 or more";
    else if (s.volumeRatio && !(*s.volumeRatio >= 0.01 && *s.volumeRatio <= 10.0))
        error = "--volume-ratio takes a ratio from 0.01 to 10";
    else if (!(s.deadSpace >= 0.0 && s.deadSpace <= 10000.0))
        error = "--dead-space takes a volume from 0 to 10000 mL";
    if (!error.empty()) {
        std::cerr << "spirohost analyse: " << error << "\n";
        return 2;
    }
    InstallAnswers(v);
    try {
        return Analyse(s);
    } catch (const AnalyseError& e) {
        std::cerr << "spirohost analyse: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace SpiroHost
