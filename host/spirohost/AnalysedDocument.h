// What the commands that analyse a recording share: the analysis options, the settings dialog
// answered from the command line, and the document set up as the main job sets it up. The plug-in's flow and volume calculations go on two new
// channels, the spirometry document opens on the data and is set up as a user would in its
// dialogs, and the range is selected.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ICustomDocument.h"
#include "foundation/COMPtr.h"
#include "host/document/DataDocument.h"
#include "spirohost/Options.h"
#include "spirohost/PluginSession.h"
#include "spirohost/ScriptedUser.h"

namespace SpiroHost {

// What the user chose; the document's own defaults where nothing was given.
struct AnalysisSettings {
    std::string recording;
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

// A recording, selection or plug-in that cannot be analysed; the message says why.
class AnalysisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The recording and analysis options (the recording also as the first positional word),
// the bundle and the alert answers. units is the --units text, read by ReadAnalysisOptions.
void AddAnalysisOptions(po::options_description& options, AnalysisSettings& s, std::string& units);
// The analysis options alone, --raw optional: a command that may leave spirometry unset.
void AddSetUpOptions(po::options_description& options, AnalysisSettings& s, std::string& units);
// Completes the settings from the parsed values; the usage error, or empty when they are sound.
std::string ReadAnalysisOptions(const po::variables_map& values, AnalysisSettings& s, const std::string& units);

// --settings ACTION (repeatable): the settings dialog's answers.
void AddSettingsOption(po::options_description& options, std::vector<std::string>& actions);
// The --settings texts as actions; throws ScriptError for one that is not an action.
std::deque<Action> SettingsActions(const std::vector<std::string>& texts);
// Opens Spirometry|Settings through the menu and answers its dialog with the actions; throws
// AnalysisError when the dialog cannot be had or does not take them all.
void EditSettings(std::deque<Action> actions);
// The ticks from the start of the first record that the --select text FROM:TO (seconds from
// there) selects, checked to lie within the first span ticks (spanName says which they are, "the
// recording"); throws AnalysisError saying what is wrong.
std::pair<int64_t, int64_t> SelectedTicks(const std::string& text, double rate, int64_t span, const char* spanName);

// The class object of that name in the category; throws AnalysisError when none is registered.
KVD::COMPtr<ICAFClassObject> FindClass(const _IID& category, const wchar_t* name);

class AnalysedDocument {
public:
    // Loads the recording and the plug-in and sets the document up; throws AnalysisError (or
    // the loader's errors) when it cannot.
    explicit AnalysedDocument(const AnalysisSettings& s);
    ~AnalysedDocument();
    AnalysedDocument(const AnalysedDocument&) = delete;
    AnalysedDocument& operator=(const AnalysedDocument&) = delete;

    Host::DataDocument& Data() { return *mDocument; }
    ICustomDocument* Spirometry() const { return mChild; }
    // Closes the children; the document is not used afterwards.
    void Close();

private:
    std::shared_ptr<Host::Recording> mRecording;
    std::unique_ptr<PluginSession> mPlugin;
    std::unique_ptr<Host::DataDocument> mDocument;
    KVD::COMPtr<ICustomDocument> mChild;
};

}  // namespace SpiroHost
