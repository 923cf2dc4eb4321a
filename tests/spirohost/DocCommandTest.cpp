// spirohost doc: a document with a computed channel saved and shown again; a document saved
// with its spirometry set-up, reopened, shown and exported as analyse reports it; its errors.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <unistd.h>

#include <boost/filesystem/operations.hpp>

#include "IStorage.h"
#include "RunCommand.h"
#include "foundation/storage/KVDFileRef.h"
#include "foundation/storage/KVDPath.h"
#include "foundation/storage/StorageEntry.h"
#include "host/docfile/DocumentFile.h"
#include "host/docfile/StreamChecksums.h"
#include "host/loader/ClassRegistration.h"
#include "host/loader/PluginBundle.h"
#include "support/TempFolder.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

const std::string kSample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";

std::string Bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The plug-in loaded into this process once, for the tests that drive documents in it.
void LoadPluginOnce()
{
    static const bool registered = [] {
        static Host::PluginBundle plugin(SPIRO_BUNDLE_DIR);
        const bool done = plugin.RegisterClassObjects() == KVD_S_OK;
        Host::RegisterDocumentAndViewClasses();
        return done;
    }();
    ASSERT_TRUE(registered);
}

std::string Temp(const std::string& name) { return ::testing::TempDir() + "doc_" + std::to_string(getpid()) + name; }

std::string Recording()
{
    const std::string path = Temp(".csv");
    std::ofstream(path) << "time,Flow [L/s]\n0,0\n0.1,1\n0.2,2\n";
    return boost::filesystem::canonical(path).string();
}

TEST(DocCommand, SavesAndShowsADocumentFile)
{
    const std::string rec = Recording(), doc = Temp(".spd");
    int status = -1;
    const std::string saved =
        RunCommand(Spirohost() + " doc save " + rec + " --out " + doc + " --channel \"Double=ch1*2\"", &status);
    ASSERT_EQ(status, 0) << saved;
    const std::string shown = RunCommand(Spirohost() + " doc show " + doc, &status);
    ASSERT_EQ(status, 0) << shown;
    EXPECT_EQ(shown, doc + ": a document over " + rec +
                         "\n  channel 1 \"Flow\" [L/s]: recorded"
                         "\n  channel 2 \"Double\" []: computed by Arithmetic: ch1*2"
                         "\n  persisted part: none\n  stored settings: 0\n");
    EXPECT_EQ(saved, shown);

    const std::string formats = RunCommand(Spirohost() + " doc formats", &status);
    EXPECT_EQ(status, 0) << formats;
}

// The example of the command's own help, as a user would type it.
TEST(DocCommand, SavesADocumentWithTheSpirometryDocument)
{
    const std::string rec = Recording(), doc = Temp("_spiro.spd");
    int status = -1;
    const std::string saved = RunCommand(Spirohost() + " doc save " + rec + " --out " + doc + " --document SpiroDocument", &status);
    ASSERT_EQ(status, 0) << saved;
    EXPECT_NE(saved.find("\n  document SpiroDocument\n"), std::string::npos) << saved;
    EXPECT_EQ(RunCommand(Spirohost() + " doc show " + doc, &status), saved);
}

// Saved with analyse's set-up, reopened and shown, the document exports the report analyse
// writes, byte for byte: in litres, in millilitres with every option, and with the settings
// dialog answered.
TEST(DocCommand, ASetUpDocumentExportsTheReportAnalyseWrites)
{
    const TestSupport::TempFolder folder;
    const struct {
        std::string options;
        std::string settings;
        std::string breathHeading;
    } cases[] = {
        {"--raw 1 --scale 2", "--cycle-level 1 --forced-threshold 2 --units L --noise-floor 0", "FVC (L)"},
        {"--raw 1 --head 2 --compensation --drift-correction --units mL --cycle-level 3 --forced-threshold 1.5 "
         "--non-forced --select 10:60 --volume-ratio 1.1 --dead-space 300 --noise-floor 0.05",
         "--cycle-level 3 --forced-threshold 1.5 --non-forced --units mL --noise-floor 0.05", "FVC (mL)"},
        {"--raw 1 --scale 2 --settings \"set forcedEdit=1.5\" --settings \"click includeBreathCheck\" "
         "--settings \"choose flowUnitList=mL/s\" --settings \"press OK\"",
         "--cycle-level 1 --forced-threshold 1.5 --non-forced --units mL --noise-floor 0", "FVC (mL)"},
    };
    for (const auto& c : cases) {
        const std::string analysed = (folder.Path() / "analysed.csv").string();
        const std::string doc = (folder.Path() / "set up.spd").string(), exported = (folder.Path() / "doc.csv").string();
        int status = -1;
        const std::string analyse = RunCommand(Spirohost() + " analyse " + kSample + " " + c.options + " --csv \"" +
                                                   analysed + "\" 2>&1",
                                               &status);
        ASSERT_EQ(status, 0) << analyse;
        const std::string saved =
            RunCommand(Spirohost() + " doc save " + kSample + " --out \"" + doc + "\" " + c.options, &status);
        ASSERT_EQ(status, 0) << c.options << ": " << saved;
        const std::string shown = RunCommand(Spirohost() + " doc show \"" + doc + "\"", &status);
        ASSERT_EQ(status, 0) << shown;
        EXPECT_EQ(shown, doc + ": a document over " + kSample +
                             "\n  channel 1 \"Flow head\" [V]: recorded"
                             "\n  channel 2 \"Flow\" [L/s]: computed by Spirometry Flow"
                             "\n  channel 3 \"Volume\" [L]: computed by Spirometry Volume"
                             "\n  document SpiroDocument\n  persisted part: yes\n  stored settings: 4"
                             "\n  spirometry settings: " +
                             c.settings + "; flow on channel 2, volume on channel 3\n");
        EXPECT_EQ(saved, shown);

        const std::string out =
            RunCommand(Spirohost() + " doc saveas \"" + doc + "\" \"" + exported + "\" 2>&1", &status);
        ASSERT_EQ(status, 0) << c.options << ": " << out;
        EXPECT_EQ(out, "Saved " + exported + " (Spirometry Report CSV File)\n");
        const std::string report = Bytes(analysed);
        EXPECT_NE(report.find(c.breathHeading), std::string::npos) << report;
        EXPECT_EQ(Bytes(exported), report) << c.options;
    }
}

// The host opens a set-up document and saves it again: the same file, byte for byte.
TEST(DocCommand, AReopenedSetUpDocumentSavesTheSameFile)
{
    LoadPluginOnce();
    const TestSupport::TempFolder folder;
    const std::string doc = (folder.Path() / "first.spd").string(), again = (folder.Path() / "again.spd").string();
    int status = -1;
    const std::string saved = RunCommand(Spirohost() + " doc save " + kSample + " --out " + doc +
                                             " --raw 1 --scale 2 --units mL --select 5:70 --non-forced",
                                         &status);
    ASSERT_EQ(status, 0) << saved;
    {
        std::unique_ptr<Host::DataDocument> reopened = Host::DocumentFile::Open(doc);
        Host::DocumentFile::Save(*reopened, again);
        reopened->Close();
    }
    const std::string first = Bytes(doc);
    EXPECT_GT(first.size(), 0u);
    EXPECT_TRUE(Bytes(again) == first);
}

// Without the set-up the report is refused, and the refusal says which command sets it up; a
// set-up document refused for its selection is not sent there.
TEST(DocCommand, ADocumentWithoutSetUpNamesTheCommandThatSetsItUp)
{
    const std::string rec = Recording(), out = Temp("_refused.csv");
    const std::string hint = " has no channel with the spirometry flow calculation: save the document again with "
                             "spirohost doc save RECORDING --out DOC --raw N [--head N | --scale S] to set spirometry up\n";
    const struct {
        std::string recording;
        std::string options;
        std::string why;
        bool hinted;
    } cases[] = {
        {rec, "--document SpiroDocument",
         "No channel has a spirometry volume calculation. Set one up with Spirometry Settings.\n", true},
        {rec, "", "An unexpected error occurred (0xf800400a).\n", true},
        {kSample, "--raw 1 --scale 2 --select 0:0.5", "No breaths were found in the selection.\n", false},
    };
    for (const auto& c : cases) {
        const std::string doc = Temp("_plain.spd");
        int status = -1;
        const std::string saved =
            RunCommand(Spirohost() + " doc save " + c.recording + " --out " + doc + " " + c.options, &status);
        ASSERT_EQ(status, 0) << saved;
        const std::string err = RunCommand(Spirohost() + " doc saveas " + doc + " " + out + " 2>&1 >/dev/null", &status);
        EXPECT_EQ(status, 1) << err;
        EXPECT_NE(err.find("spirohost doc saveas: Spirometry Report CSV File did not save " + out + ": " + c.why),
                  std::string::npos)
            << err;
        EXPECT_EQ(err.find("spirohost doc saveas: " + doc + hint) != std::string::npos, c.hinted) << err;
        EXPECT_FALSE(boost::filesystem::exists(out)) << c.options;
    }
}

// The little-endian bytes of the values, as a record stores them.
template <class... T>
std::string Record(T... values)
{
    std::string bytes;
    (bytes.append(reinterpret_cast<const char*>(&values), sizeof values), ...);
    return bytes;
}

// Puts these bytes in place of the spirometry document's stored settings, as if it had saved them.
void StoreSettings(const std::string& doc, const std::string& bytes)
{
    KVD::COMPtr<IStorage> root, parts;
    ASSERT_EQ(KVDStgOpenStorage(KVDFileRef(KVD::Path(doc)), STGM_READWRITE, root.Set()), KVD_S_OK);
    root->OpenStorage(L"Parts", nullptr, STGM_READWRITE, nullptr, 0, parts.Set());
    ASSERT_NE(parts, nullptr);
    KVD::COMPtr<IStream> stream;
    parts->CreateStream(L"SpiroDocument part 0", STGM_CREATE | STGM_READWRITE, 0, 0, stream.Set());
    ASSERT_NE(stream, nullptr);
    stream->Write(bytes.data(), uint32_t(bytes.size()), nullptr);
    stream.Clear();
    parts.Clear();
    Host::StreamChecksums::Write(root);
}

// doc show tells each version of the settings record the way the document reads it.
TEST(DocCommand, ShowsTheStoredSpirometrySettingsOfEachRecordVersion)
{
    const std::string rec = Recording(), doc = Temp("_versions.spd");
    const int32_t none = int32_t(0x80000000);
    const struct {
        std::string record;
        std::string shown;
    } cases[] = {
        {Record(3u, 1, 2, 2.5, 3.0, 1u, uint8_t(1), 0.2, 6, 0x80000001u, 0u, 0u),
         "--cycle-level 2.5 --forced-threshold 3 --non-forced --units uL --noise-floor 0.2; flow on channel 2, "
         "volume on channel 3"},
        // The clamp's level counts only when it is on; an unknown prefix is shown as it is.
        {Record(3u, 0, none, 1.0, 2.0, 0u, uint8_t(0), 0.2, 5, 0x80000001u, 0u, 0u),
         "--cycle-level 1 --forced-threshold 2 --units (prefix 5) --noise-floor 0; flow on channel 1, volume on none"},
        {Record(2u, 1, 2, 0.5, 4.0, 7u),
         "--cycle-level 0.5 --forced-threshold 4 --non-forced --units L --noise-floor 0; flow on channel 2, volume "
         "on channel 3"},
        {Record(1u), "none in the record (version 1)"},
        {Record(4u, 1, 2), "a record of version 4, newer than this program reads"},
        {Record(3u, 1, 2, 2.5), "a record cut short"},
    };
    for (const auto& c : cases) {
        int status = -1;
        const std::string saved =
            RunCommand(Spirohost() + " doc save " + rec + " --out " + doc + " --document SpiroDocument", &status);
        ASSERT_EQ(status, 0) << saved;
        StoreSettings(doc, c.record);
        const std::string shown = RunCommand(Spirohost() + " doc show " + doc + " 2>/dev/null", &status);
        EXPECT_EQ(status, 0) << shown;
        EXPECT_NE(shown.find("\n  spirometry settings: " + c.shown + "\n"), std::string::npos) << shown;
    }
}

TEST(DocCommand, ReportsErrorsWithAMessageAndNonZeroExit)
{
    const std::string rec = Recording(), doc = Temp("_bad.spd");
    std::ofstream(doc) << "not a document file\n";
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"show " + doc, 1, "spirohost doc show: " + doc + ": not a document file"},
        {"show " + Temp("_none.spd"), 1, Temp("_none.spd") + ": cannot be opened: "},
        {"save " + rec + " --out " + doc + " --channel Double", 2, "--channel \"Double\" is not TITLE=FORMULA"},
        {"save " + rec + " --out " + doc + " --channel \"X=ch1 +\"", 1, "channel \"X\": position "},
        // Refused as `formula` refuses it, before anything is saved.
        {"save " + rec + " --out " + Temp("_ch9.spd") + " --channel \"X=ch9\"", 1,
         "spirohost doc save: channel \"X\": the formula cannot run: Channel 9 has no data to compute from.\n"},
        {"save " + rec + " --out " + doc + " --document NoSuchDocument", 1,
         "no document class \"NoSuchDocument\" is registered"},
        {"save " + rec, 2, "--out"},
        {"save " + rec + " --out " + doc + " --head 2", 2,
         "spirohost doc save: --head sets spirometry up, which needs --raw N\n"},
        {"save " + rec + " --out " + doc + " --settings \"press OK\"", 2,
         "spirohost doc save: --settings sets spirometry up, which needs --raw N\n"},
        {"save " + rec + " --out " + doc + " --units mL", 2, "--units sets spirometry up, which needs --raw N"},
        {"save " + rec + " --out " + doc + " --raw 1 --document SpiroDocument", 2,
         "spirohost doc save: --raw opens the SpiroDocument already: leave out --document SpiroDocument\n"},
        {"save " + rec + " --out " + doc + " --raw 1 --units kL", 2, "spirohost doc save: --units takes L, mL or uL\n"},
        {"save " + rec + " --out " + Temp("_raw9.spd") + " --raw 9", 1,
         "spirohost doc save: " + rec + " has no channel 9 (it has 1)\n"},
        {"save " + rec + " --out " + Temp("_select.spd") + " --raw 1 --select 0:9", 1,
         "spirohost doc save: the selection 0:9 reaches beyond the end of the recording (at 0.3 s)\n"},
        {"saveas " + doc + " " + Temp(".xyz"), 1, "no registered Save As format has the extension \"xyz\""},
        {"bogus", 2, "unknown command 'bogus'"},
    };
    for (const auto& c : cases) {
        int status = -1;
        const std::string err = RunCommand(Spirohost() + " doc " + c.args + " 2>&1 >/dev/null", &status);
        EXPECT_EQ(status, c.status) << c.args << ": " << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.args << ": " << err;
    }
    for (const char* unsaved : {"_ch9.spd", "_raw9.spd", "_select.spd"})
        EXPECT_FALSE(boost::filesystem::exists(Temp(unsaved))) << unsaved;
    for (const char* command : {"", " save", " show", " saveas", " formats"}) {
        int status = -1;
        const std::string help = RunCommand(Spirohost() + " doc" + command + " --help", &status);
        EXPECT_EQ(status, 0) << command;
        EXPECT_NE(help.find("usage: spirohost doc"), std::string::npos) << command << ": " << help;
    }
}

// Run from a folder that has been deleted: absolute paths need no current folder. A relative
// path to the recording does, and the recording is what is named then.
TEST(DocCommand, SavesFromADeletedFolderGivenAbsolutePaths)
{
    const std::string rec = Recording(), doc = Temp("_from_gone.spd"), gone = Temp("_gone");
    const std::string inGone = "mkdir " + gone + " && cd " + gone + " && rmdir " + gone + " && " + Spirohost();
    int status = -1;
    const std::string saved = RunCommand(inGone + " doc save " + rec + " --out " + doc + " 2>&1", &status);
    EXPECT_EQ(status, 0) << saved;
    EXPECT_EQ(saved, doc + ": a document over " + rec +
                         "\n  channel 1 \"Flow\" [L/s]: recorded\n  persisted part: none\n  stored settings: 0\n");
    EXPECT_EQ(RunCommand(inGone + " doc show " + doc + " 2>&1", &status), saved);
    EXPECT_EQ(status, 0);

    const std::string relative = "../" + boost::filesystem::path(rec).filename().string();
    const std::string other = Temp("_relative.spd");
    const std::string err = RunCommand(inGone + " doc save " + relative + " --out " + other + " 2>&1", &status);
    EXPECT_EQ(status, 1) << err;
    EXPECT_EQ(err, "spirohost doc save: " + relative +
                       ": cannot tell its full path from the current folder: No such file or directory\n");
    EXPECT_FALSE(boost::filesystem::exists(other));
}

}  // namespace
