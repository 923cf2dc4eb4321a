// spirohost doc: a document with a computed channel saved and shown again; its errors.
#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include <boost/filesystem/operations.hpp>

#include "RunCommand.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

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
        {"saveas " + doc + " " + Temp(".xyz"), 1, "no registered Save As format has the extension \"xyz\""},
        {"bogus", 2, "unknown command 'bogus'"},
    };
    for (const auto& c : cases) {
        int status = -1;
        const std::string err = RunCommand(Spirohost() + " doc " + c.args + " 2>&1 >/dev/null", &status);
        EXPECT_EQ(status, c.status) << c.args << ": " << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.args << ": " << err;
    }
    EXPECT_FALSE(boost::filesystem::exists(Temp("_ch9.spd")));
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
