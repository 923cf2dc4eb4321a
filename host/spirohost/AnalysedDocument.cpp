#include "spirohost/AnalysedDocument.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "CalcCategories.h"
#include "FrameworkIds.h"
#include "IChannelCalc.h"
#include "IPersistObject.h"
#include "ISpiroDocument.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/TextConversion.h"
#include "host/commands/MenuModel.h"
#include "host/framework/ParamBlock.h"
#include "host/loader/ClassRegistration.h"
#include "host/views/OpenedView.h"

namespace SpiroHost {
namespace {

// The document's settings-change message, as its settings dialog sends it.
typedef MsgIdClass<&Spirometry::SpiroDocumentGUID, Spirometry::kSpiroSettingsChangeMsgIndex> SettingsChangeMsgId;
constexpr uint32_t kRecordedChange = 32;
// The flow-head table's one head with a non-linear compensation.
constexpr int kNonLinearHead = 2;

void Check(bool ok, const std::string& message)
{
    if (!ok)
        throw AnalysisError(message);
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
    throw AnalysisError("the selection reaches beyond the end of the recording");
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
    const int64_t total = TotalTicks(recording);
    const auto [first, last] = SelectedTicks(*text, recording.TickRate(), total, "the recording");
    // An empty selection is one place: where one block ends and the next begins, the start of
    // the next.
    if (first == last && first < total)
        return {PositionOf(recording, first, false), PositionOf(recording, first, false)};
    return {PositionOf(recording, first, false), PositionOf(recording, last, true)};
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
void SetUp(ICustomDocument* child, const AnalysisSettings& s, int flowChannel, int volumeChannel)
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

void AddCalculationOptions(po::options_description& options, AnalysisSettings& s, std::string& units,
                           bool rawRequired)
{
    po::typed_value<int>* raw = po::value<int>(&s.raw);
    if (rawRequired)
        raw->required();
    options.add_options()
        ("raw", raw, "1-based number of the flow head's raw channel")
        ("head", po::value<int>(), "flow-head table entry (0 to 4)")
        ("scale", po::value<double>(), "custom flow-head scale: flow = raw x S (L/s per raw unit)")
        ("select", po::value<std::string>(), "FROM:TO in seconds from the start of the first record (default: the "
                                             "whole first record)")
        ("drift-correction", po::bool_switch(&s.driftCorrection), "remove the baseline drift of the raw signal")
        ("compensation", po::bool_switch(&s.compensation), "apply the flow head's non-linear compensation")
        ("cycle-level", po::value<double>(&s.cyclePercent)->default_value(s.cyclePercent),
         "breath-detection level, % of the flow channel's full range (0.01 to 10)")
        ("forced-threshold", po::value<double>(&s.forcedThreshold)->default_value(s.forcedThreshold),
         "a breath is forced from this multiple of the average volume (0.1 to 10)")
        ("non-forced", po::bool_switch(&s.nonForced), "list the non-forced breaths in the report too")
        ("units", po::value<std::string>(&units)->default_value(units), "report volumes and flows in L, mL or uL (also µL)")
        ("noise-floor", po::value<double>(&s.noiseFloor)->default_value(s.noiseFloor),
         "flow below this magnitude (L/s) counts as 0; 0 for none")
        ("volume-ratio", po::value<double>(), "correct expired volume by this ratio (0.01 to 10)")
        ("dead-space", po::value<double>(&s.deadSpace)->default_value(s.deadSpace),
         "dead space of the volume correction (mL, 0 to 10000)");
}

}  // namespace

void AddAnalysisOptions(po::options_description& options, AnalysisSettings& s, std::string& units)
{
    options.add_options()("recording", po::value<std::string>(&s.recording)->required(),
                          "an EDF, EDF+ or CSV recording");
    AddCalculationOptions(options, s, units, true);
    AddBundleOption(options);
    AddAnswerOption(options);
}

void AddSetUpOptions(po::options_description& options, AnalysisSettings& s, std::string& units)
{
    AddCalculationOptions(options, s, units, false);
}

std::string ReadAnalysisOptions(const po::variables_map& v, AnalysisSettings& s, const std::string& units)
{
    s.bundle = v["bundle"].as<std::string>();
    if (v.count("head"))
        s.head = v["head"].as<int>();
    if (v.count("scale"))
        s.scale = v["scale"].as<double>();
    if (v.count("select"))
        s.select = v["select"].as<std::string>();
    if (v.count("volume-ratio"))
        s.volumeRatio = v["volume-ratio"].as<double>();
    s.prefix = units == "mL" ? 7 : units == "uL" || units == "\u00B5L" ? 6 : 8;
    if (s.head && s.scale)
        return "--head and --scale exclude each other";
    if (s.head && (*s.head < 0 || *s.head > 4))
        return "--head takes a flow-head table entry from 0 to 4";
    if (s.scale && !(std::isfinite(*s.scale) && *s.scale > 0.0))
        return "--scale takes a finite scale greater than 0";
    if (s.compensation && s.head != kNonLinearHead)
        return "--compensation applies only to flow head 2 (--head 2)";
    if (!(s.cyclePercent >= 0.01 && s.cyclePercent <= 10.0))
        return "--cycle-level takes a percentage from 0.01 to 10";
    if (!(s.forcedThreshold >= 0.1 && s.forcedThreshold <= 10.0))
        return "--forced-threshold takes a multiple from 0.1 to 10";
    if (units != "L" && units != "mL" && units != "uL" && units != "\u00B5L")
        return "--units takes L, mL or uL";
    if (!(s.noiseFloor >= 0.0 && std::isfinite(s.noiseFloor)))
        return "--noise-floor takes a finite flow of 0 or more";
    if (s.volumeRatio && !(*s.volumeRatio >= 0.01 && *s.volumeRatio <= 10.0))
        return "--volume-ratio takes a ratio from 0.01 to 10";
    if (!(s.deadSpace >= 0.0 && s.deadSpace <= 10000.0))
        return "--dead-space takes a volume from 0 to 10000 mL";
    return {};
}

void AddSettingsOption(po::options_description& options, std::vector<std::string>& actions)
{
    options.add_options()("settings", po::value<std::vector<std::string>>(&actions)->composing(),
                          "open Spirometry|Settings first and answer it with this user action (repeatable): set "
                          "FIELD=TEXT, choose POPUP=ITEM, click CONTROL, press BUTTON, snapshot FILE, wait SECONDS");
}

std::deque<Action> SettingsActions(const std::vector<std::string>& texts)
{
    std::deque<Action> actions;
    for (const std::string& text : texts)
        actions.push_back(ParseAction(text, "--settings"));
    return actions;
}

void EditSettings(std::deque<Action> actions)
{
    ScriptedUser user(std::move(actions));
    Check(Host::MenuModel::Instance().Invoke("Spirometry|Settings") == KVD_S_OK, "the menu has no Spirometry|Settings");
    Check(user.Failure().empty(), "the settings dialog: " + user.Failure());
    Check(user.ActionsLeft() == 0,
          std::to_string(user.ActionsLeft()) + " actions were left when the settings dialog closed");
}

std::pair<int64_t, int64_t> SelectedTicks(const std::string& text, double rate, int64_t span, const char* spanName)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double from = 0, to = 0;
    char colon = 0;
    Check(static_cast<bool>(in >> from >> colon >> to) && colon == ':' && in.peek() == EOF,
          "--select takes FROM:TO in seconds, not \"" + Shortened(text) + "\"");
    Check(std::isfinite(from) && std::isfinite(to) && from >= 0 && from <= to,
          "the selection " + Shortened(text) + " is not a range from the start of the recording onwards");
    char end[32];
    std::snprintf(end, sizeof end, "%g", double(span) / rate);
    // Checked in seconds, before any is turned into ticks: a tick count past 64 bits has none.
    Check(to * rate <= double(span) + 0.5,
          "the selection " + Shortened(text) + " reaches beyond the end of " + spanName + " (at " + end + " s)");
    return {std::llround(from * rate), std::llround(to * rate)};
}

KVD::COMPtr<ICAFClassObject> FindClass(const _IID& category, const wchar_t* name)
{
    const std::string text = KVD::ToU8String(KVD::String(name));
    KVD::COMPtr<ICAFClassObject> cls = Host::FindClassObject(category, text);
    if (cls == nullptr)
        throw AnalysisError("the plug-in registered no class \"" + text + "\"");
    return cls;
}

AnalysedDocument::AnalysedDocument(const AnalysisSettings& s)
    : mRecording(std::make_shared<Host::Recording>(Host::LoadRecording(s.recording)))
{
    Check(s.raw >= 1 && size_t(s.raw) <= mRecording->ChannelCount(),
          s.recording + " has no channel " + std::to_string(s.raw) + " (it has " +
              std::to_string(mRecording->ChannelCount()) + ")");
    const auto [start, end] = Selection(*mRecording, s.select);

    mPlugin = std::make_unique<PluginSession>(s.bundle);
    Host::RegisterDocumentAndViewClasses();

    mDocument = std::make_unique<Host::DataDocument>(mRecording);
    const int flowChannel = mDocument->AddChannel("Flow", "L/s");
    const int volumeChannel = mDocument->AddChannel("Volume", "L");
    PutCalculation(*mDocument, L"Spirometry Flow", flowChannel);
    PutCalculation(*mDocument, L"Spirometry Volume", volumeChannel);
    mChild = OpenSpirometryDocument(*mDocument);
    SetUp(mChild, s, flowChannel, volumeChannel);
    mDocument->Select(start, end);
}

AnalysedDocument::~AnalysedDocument()
{
    Close();
}

void AnalysedDocument::Close()
{
    if (mDocument != nullptr)
        mDocument->Close();
}

}  // namespace SpiroHost
