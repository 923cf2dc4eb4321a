// spirohost doc: saves a document over a recording into a document file, set up for spirometry
// as analyse sets it up when asked, shows what one holds, and saves one through a registered
// Save As format.
#include <algorithm>
#include <cstring>
#include <iostream>
#include <memory>

#include <boost/filesystem/path.hpp>

#include "FrameworkIds.h"
#include "foundation/KVDString.h"
#include "foundation/ResultCodeText.h"
#include "host/docfile/DocumentFile.h"
#include "host/framework/Framework.h"
#include "host/loader/ClassRegistration.h"
#include "host/framework/OutputName.h"
#include "host/saveas/SaveAsFormats.h"
#include "spirohost/AnalysedDocument.h"
#include "spirohost/FormulaChannel.h"
#include "spirohost/PluginSession.h"
#include "spirohost/SpirometrySettings.h"

namespace SpiroHost {
namespace {

using Strings = std::vector<std::string>;

const char* const kSpirometryDocument = "SpiroDocument";
const char* const kSpirometryFlow = "Spirometry Flow";

Strings Values(const po::variables_map& values, const char* name)
{
    return values.count(name) ? values[name].as<Strings>() : Strings{};
}

KVD::COMPtr<ICustomDocClass> FindDocumentClass(const std::string& name)
{
    return KVD::COMPtr<ICustomDocClass>(KVD::com_cast(Host::FindClassObject(CATID_OrrelChildDocClass, name, true).get()));
}

// Empty when a child document of the class of that name was made; otherwise why not.
std::string AddChildDocument(Host::DataDocument& document, const std::string& className)
{
    KVD::COMPtr<ICustomDocClass> cls = FindDocumentClass(className);
    if (cls == nullptr)
        return "no document class \"" + className + "\" is registered";
    KVD::COMPtr<ICustomDocument> child;
    const HRESULT hr = document.CreateChildDocument(cls, 0, nullptr, child.Set());
    return child != nullptr ? "" : "cannot create a " + className + ": " + KVD::ToU8String(KVD::ResultCodeText(hr));
}

std::string CalculationName(ICalculation* calculation)
{
    KVD::COMPtr<ICalculationClass> cls;
    calculation->GetCalculationClass(cls.Set());
    KVD::String name;
    if (cls != nullptr)
        cls->GetName(KVD::String::Setter(name));
    return KVD::ToU8String(name);
}

std::string CalculationText(ICalculation* calculation)
{
    KVD::String info;
    if (KVD::COMPtr<IChannelCalc> calc{KVD::com_cast(calculation)})
        calc->GetInfoString(0, KVD::String::Setter(info));
    return "computed by " + CalculationName(calculation) + (info.length() > 0 ? ": " + KVD::ToU8String(info) : "");
}

// Whether a channel carries the spirometry flow calculation, which doc save --raw puts on one.
bool HasSpirometryFlow(Host::ChannelTable& channels)
{
    for (int c = 0; c < channels.Count(); ++c)
        if (ICalculation* calculation = channels.Calculation(c); calculation != nullptr)
            if (CalculationName(calculation) == kSpirometryFlow)
                return true;
    return false;
}

void Describe(std::ostream& out, const std::string& path, Host::DataDocument& document)
{
    Host::ChannelTable& channels = document.Channels();
    out << path << ": a document over " << channels.GetRecording().Path() << "\n";
    for (int c = 0; c < channels.Count(); ++c) {
        out << "  channel " << c + 1 << " \"" << channels.Title(c) << "\" [" << channels.Unit(c) << "]: ";
        ICalculation* calculation = channels.Calculation(c);
        out << (calculation != nullptr ? CalculationText(calculation) : std::string("recorded")) << "\n";
    }
    Host::HostDocument& host = document.Document();
    uint32_t children = 0, messages = 0;
    host.GetChildDocumentCount(&children);
    for (uint32_t i = 0; i < children; ++i) {
        KVD::COMPtr<IDocument> child;
        host.GetChildDocumentAt(i, child.Set());
        TCAFId typeId = 0;
        child->GetTypeId(&typeId);
        KVD::COMPtr<ICustomDocClass> cls;
        Host::Framework::Instance()->GetClassObject(typeId, IID_ICustomDocClass, cls.Set());
        KVD::String name;
        if (cls != nullptr)
            cls->GetDocumentClassName(KVD::String::Setter(name));
        out << "  document " << KVD::ToU8String(name) << "\n";
    }
    out << "  persisted part: " << (host.GetPersistPart(0) != nullptr ? "yes" : "none") << "\n";
    host.GetRegistrar()->GetObjectCount(&messages);
    out << "  stored settings: " << messages << "\n";
    // Read back from the file: a document written to a stream cannot be.
    if (Host::OutputKindOf(path) == Host::OutputKind::kFile)
        Host::DocumentFile::ReadStoredPart(path, kSpirometryDocument, [&](KVD::BinIStream& in) {
            out << "  spirometry settings: " << SpirometrySettingsText(in) << "\n";
        });
}

// Adds the formula channels and child documents asked for, saves the document and says what it
// holds beside the outputs (the document's, --out, first).
int AddAndSave(Host::DataDocument& document, const po::variables_map& values, const std::vector<Output>& outputs)
{
    for (const std::string& spec : Values(values, "channel")) {
        const auto equals = spec.find('=');
        if (equals == 0 || equals == std::string::npos) {
            std::cerr << "spirohost doc save: --channel \"" << Shortened(spec) << "\" is not TITLE=FORMULA\n";
            return 2;
        }
        const int channel = document.AddChannel(spec.substr(0, equals), "");
        std::string error = PutFormula(document.Data(), channel, spec.substr(equals + 1));
        // Refused as `formula` refuses it: over the first record, when there is one.
        if (error.empty() && document.Channels().GetRecording().RecordCount() > 0)
            error = RunFailure(document.Channels(), 0, channel);
        if (!error.empty()) {
            std::cerr << "spirohost doc save: channel \"" << Shortened(spec.substr(0, equals)) << "\": " << error
                      << "\n";
            return 1;
        }
    }
    for (const std::string& name : Values(values, "document")) {
        const std::string error = AddChildDocument(document, name);
        if (!error.empty()) {
            std::cerr << "spirohost doc save: " << error << "\n";
            return 1;
        }
    }
    const std::string& path = outputs.front().path;
    Host::DocumentFile::Save(document, path);
    Describe(Said(outputs), path, document);
    return 0;
}

// The usage error of a set-up option given without --raw, or of a second spirometry document
// asked for with it; empty when there is none.
std::string SetUpMisuse(const po::options_description& setUp, const po::variables_map& values)
{
    if (values.count("raw")) {
        const Strings children = Values(values, "document");
        return std::find(children.begin(), children.end(), kSpirometryDocument) != children.end()
                   ? std::string("--raw opens the ") + kSpirometryDocument + " already: leave out --document " +
                         kSpirometryDocument
                   : "";
    }
    for (const auto& option : setUp.options())
        if (values.count(option->long_name()) && !values[option->long_name()].defaulted())
            return "--" + option->long_name() + " sets spirometry up, which needs --raw N";
    return "";
}

// The document set up as analyse sets it up (with the settings dialog answered, when asked), then saved.
int SaveSetUp(const AnalysisSettings& s, const Strings& settingsActions, const po::variables_map& values)
{
    std::deque<Action> actions = SettingsActions(settingsActions);
    const std::vector<Output> outputs =
        WithSnapshots({{"--out", values["out"].as<std::string>()}}, actions, "--settings");
    if (const std::string refusal = RefuseOutputs(outputs, s.recording); !refusal.empty()) {
        std::cerr << "spirohost doc save: " << refusal << "\n";
        return 2;
    }
    InstallAnswers(values, outputs);
    AnalysedDocument analysed(s);
    if (!actions.empty())
        EditSettings(std::move(actions));
    return AddAndSave(analysed.Data(), values, outputs);
}

int Save(const Args& args)
{
    AnalysisSettings s;
    std::string units = "L";
    Strings settingsActions;
    po::options_description options("options");
    options.add_options()
        ("recording", po::value<std::string>(&s.recording)->required(), "an EDF, EDF+ or CSV recording")
        ("out", po::value<std::string>()->required(), "the document file to write")
        ("channel", po::value<Strings>()->composing(), "add a channel computed by a formula: \"TITLE=FORMULA\" (repeatable)")
        ("document", po::value<Strings>()->composing(),
         "add a child document of the registered class of this name, e.g. SpiroDocument (repeatable)");
    po::options_description setUp("spirometry set-up, as analyse makes it (with --raw; saved with the document)");
    AddSetUpOptions(setUp, s, units);
    AddSettingsOption(setUp, settingsActions);
    options.add(setUp);
    AddBundleOption(options);
    AddAnswerOption(options);
    po::positional_options_description positional;
    positional.add("recording", 1);
    Parsed parsed = ParseOptions("doc save",
                                 "RECORDING --out DOC [--raw N [--head N | --scale S] [--select FROM:TO] [analyse's "
                                 "options] [--settings ACTION]...] [--channel \"TITLE=FORMULA\"]... [--document CLASS]...",
                                 options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    const po::variables_map& values = parsed.values;
    std::string error = SetUpMisuse(setUp, values);
    if (error.empty() && values.count("raw"))
        error = ReadAnalysisOptions(values, s, units);
    const std::vector<Output> outputs = {{"--out", values["out"].as<std::string>()}};
    if (error.empty())
        error = RefuseOutputs(outputs, s.recording);
    if (!error.empty()) {
        std::cerr << "spirohost doc save: " << error << "\n";
        return 2;
    }
    if (values.count("raw"))
        return SaveSetUp(s, settingsActions, values);
    const PluginSession plugin(values["bundle"].as<std::string>());
    InstallAnswers(values, outputs);
    Host::DataDocument document(std::make_shared<const Host::Recording>(Host::LoadRecording(s.recording)));
    return AddAndSave(document, values, outputs);
}

int Show(const Args& args)
{
    po::options_description options("options");
    options.add_options()("doc", po::value<std::string>()->required(), "the document file");
    AddBundleOption(options);
    AddAnswerOption(options);
    po::positional_options_description positional;
    positional.add("doc", 1);
    Parsed parsed = ParseOptions("doc show", "DOC", options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    const PluginSession plugin(parsed.values["bundle"].as<std::string>());
    InstallAnswers(parsed.values, {});
    const std::string path = parsed.values["doc"].as<std::string>();
    Describe(std::cout, path, *Host::DocumentFile::Open(path));
    return 0;
}

int SaveAs(const Args& args)
{
    po::options_description options("options");
    options.add_options()
        ("doc", po::value<std::string>()->required(), "the document file")
        ("out", po::value<std::string>()->required(), "the file to write")
        ("format", po::value<std::string>(), "the format's extension (by default OUT's)");
    AddBundleOption(options);
    AddAnswerOption(options);
    po::positional_options_description positional;
    positional.add("doc", 1).add("out", 1);
    Parsed parsed = ParseOptions("doc saveas", "DOC OUT [--format EXT] [--answer TITLE]...", options, positional, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    const po::variables_map& values = parsed.values;
    const std::string out = values["out"].as<std::string>();
    const std::vector<Output> outputs = {{"--out", out}};
    const std::string readIs = "the document this command reads";
    if (const std::string refusal = RefuseOutputs(outputs, values["doc"].as<std::string>(), readIs); !refusal.empty()) {
        std::cerr << "spirohost doc saveas: " << refusal << "\n";
        return 2;
    }
    const PluginSession plugin(values["bundle"].as<std::string>());
    InstallAnswers(values, outputs);

    std::string extension =
        values.count("format") ? values["format"].as<std::string>() : boost::filesystem::path(out).extension().string();
    if (!extension.empty() && extension[0] == '.')
        extension.erase(0, 1);
    const std::vector<Host::SaveAsFormat> formats = Host::RegisteredSaveAsFormats();
    const Host::SaveAsFormat* format = Host::FindSaveAsFormat(formats, extension);
    if (format == nullptr) {
        std::cerr << "spirohost doc saveas: no registered Save As format has the extension \"" << extension
                  << "\" (see spirohost doc formats)\n";
        return 1;
    }
    std::unique_ptr<Host::DataDocument> document = Host::DocumentFile::Open(values["doc"].as<std::string>());
    if (const std::string refusal = RefuseWritingOver("--out", out, document->Channels().GetRecording().Path(),
                                                      "the recording of the document");
        !refusal.empty()) {
        std::cerr << "spirohost doc saveas: " << refusal << "\n";
        return 2;
    }
    std::string why;
    const HRESULT hr = Host::SaveDocumentAs(*format, &document->Document(), out, &why);
    if (hr != KVD_S_OK) {
        std::cerr << "spirohost doc saveas: " << format->description << " did not save " << out << ": "
                  << (why.empty() ? KVD::ToU8String(KVD::ResultCodeText(hr)) : why) << "\n";
        if (!HasSpirometryFlow(document->Channels()))
            std::cerr << "spirohost doc saveas: " << values["doc"].as<std::string>()
                      << " has no channel with the spirometry flow calculation: save the document again with "
                         "spirohost doc save RECORDING --out DOC --raw N [--head N | --scale S] to set spirometry up\n";
        return 1;
    }
    Said(outputs) << "Saved " << out << " (" << format->description << ")\n";
    return 0;
}

int Formats(const Args& args)
{
    po::options_description options("options");
    AddBundleOption(options);
    Parsed parsed = ParseOptions("doc formats", "[--bundle DIR]", options, {}, args);
    if (parsed.exitCode)
        return *parsed.exitCode;
    const PluginSession plugin(parsed.values["bundle"].as<std::string>());
    const std::vector<Host::SaveAsFormat> formats = Host::RegisteredSaveAsFormats();
    if (formats.empty())
        std::cout << "no Save As formats are registered\n";
    for (const Host::SaveAsFormat& format : formats)
        std::cout << format.extension << "\t" << format.description << "\n";
    return 0;
}

const Command kDocCommands[] = {
    {"save", "save a document over a recording, with its spirometry set-up, computed channels and child documents", Save},
    {"show", "reopen a document file and show what it holds", Show},
    {"saveas", "reopen a document file and save it through a registered Save As format", SaveAs},
    {"formats", "list the registered Save As formats", Formats},
};

void PrintDocUsage(std::ostream& out)
{
    out << "usage: spirohost doc COMMAND [options]   (spirohost doc COMMAND --help for its options)\n\ncommands:\n";
    for (const Command& c : kDocCommands)
        out << "  " << c.name << std::string(10 - std::strlen(c.name), ' ') << c.summary << "\n";
}

}  // namespace

int RunDoc(const Args& args)
{
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        PrintDocUsage(args.empty() ? std::cerr : std::cout);
        return args.empty() ? 2 : 0;
    }
    for (const Command& c : kDocCommands) {
        if (args[0] != c.name)
            continue;
        try {
            return c.run(Args(args.begin() + 1, args.end()));
        } catch (const std::exception& e) {
            std::cerr << "spirohost doc " << c.name << ": " << e.what() << "\n";
            return 1;
        }
    }
    std::cerr << "spirohost doc: " << Readable("unknown command '" + args[0] + "'") << "\n";
    PrintDocUsage(std::cerr);
    return 2;
}

}  // namespace SpiroHost
