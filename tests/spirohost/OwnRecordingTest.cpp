// No command writes over the recording (or document) it reads, however the output is named:
// each refuses before any work, saying so, and the recording is left as it was. A link at the
// output is replaced, never followed, so it is no name of the recording.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "RunCommand.h"
#include "support/TempFolder.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

namespace fs = std::filesystem;

const std::string kSample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";

std::string Bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class OwnRecording : public ::testing::Test {
protected:
    OwnRecording()
    {
        fs::copy_file(kSample, Path("rec.edf"));
        fs::create_directory(Path("sub"));
    }

    std::string Path(const std::string& name) const { return (mFolder.Path() / name).string(); }
    // Runs spirohost in the folder, so that outputs may be named relative to it.
    std::string Run(const std::string& args, int* status) const
    {
        return RunCommand("cd '" + mFolder.Path().string() + "' && timeout 120 " + Spirohost() + " " + args + " 2>&1",
                          status);
    }

    TestSupport::TempFolder mFolder;
};

// A path as the refusals quote it: whole up to 80 bytes, else "..." and its last 80, which name
// the file.
std::string Quoted(const std::string& path)
{
    return "'" + (path.size() <= 80 ? path : "..." + path.substr(path.size() - 80)) + "'";
}

TEST_F(OwnRecording, EveryCommandRefusesAnOutputThatIsItsRecordingHoweverNamed)
{
    ASSERT_EQ(::link(Path("rec.edf").c_str(), Path("hard.edf").c_str()), 0);
    const std::string lose = " is the recording this command reads; writing it would lose it: name another file\n";
    std::string winding;  // 84 characters to the name
    for (int i = 0; i < 12; ++i)
        winding += "sub/../";
    struct Case {
        std::string args;
        std::string said;
    } cases[] = {
        {"analyse rec.edf --raw 1 --scale 2 --csv ./rec.edf", "spirohost analyse: --csv './rec.edf'" + lose},
        {"analyse rec.edf --raw 1 --scale 2 --settings \"snapshot sub/../rec.edf\" --csv report.csv",
         "spirohost analyse: --settings snapshot 'sub/../rec.edf'" + lose},
        {"formula rec.edf \"ch1*1\" --out " + Path("rec.edf"),
         "spirohost formula: --out " + Quoted(Path("rec.edf")) + lose},
        {"formula rec.edf \"ch1*1\" --out " + winding + "rec.edf",
         "spirohost formula: --out '..." + winding.substr(11) + "rec.edf'" + lose},
        {"formula rec.edf \"ch1*1\" --out hard.edf", "spirohost formula: --out 'hard.edf'" + lose},
        {"dialog rec.edf --raw 1 --calc flow --do \"press OK\" --csv rec.edf",
         "spirohost dialog: --csv 'rec.edf'" + lose},
        {"dialog rec.edf --raw 1 --calc flow --do \"snapshot ./sub/../rec.edf\" --do \"press OK\"",
         "spirohost dialog: --do snapshot './sub/../rec.edf'" + lose},
        {"view rec.edf --raw 1 --view \"Spirometry Report\" --png rec.edf", "spirohost view: --png 'rec.edf'" + lose},
        {"view rec.edf --raw 1 --view \"Spirometry Report\" --print report.pdf --copy .//rec.edf",
         "spirohost view: --copy './/rec.edf'" + lose},
        {"doc save rec.edf --out rec.edf", "spirohost doc save: --out 'rec.edf'" + lose},
        {"sample --replay rec.edf --out ./rec.edf", "spirohost sample: --out './rec.edf'" + lose},
    };
    for (const Case& c : cases) {
        int status = -1;
        EXPECT_EQ(Run(c.args, &status), c.said) << c.args;
        EXPECT_EQ(status, 2) << c.args;
    }
    EXPECT_EQ(Bytes(Path("rec.edf")), Bytes(kSample));
    // Refused before any work: nothing else was written.
    EXPECT_FALSE(fs::exists(Path("report.csv")));
    EXPECT_FALSE(fs::exists(Path("report.pdf")));
}

// Save As reads a document, and through it the document's recording.
TEST_F(OwnRecording, SaveAsRefusesToWriteOverItsDocumentOrTheDocumentsRecording)
{
    int status = -1;
    std::string out = Run("doc save rec.edf --out doc.spiro", &status);
    ASSERT_EQ(status, 0) << out;
    const std::string document = Bytes(Path("doc.spiro"));
    out = Run("doc saveas doc.spiro sub/../doc.spiro --format csv", &status);
    EXPECT_EQ(out, "spirohost doc saveas: --out 'sub/../doc.spiro' is the document this command reads; writing it "
                   "would lose it: name another file\n");
    EXPECT_EQ(status, 2);
    out = Run("doc saveas doc.spiro rec.edf --format csv", &status);
    EXPECT_EQ(out, "spirohost doc saveas: --out 'rec.edf' is the recording of the document; writing it would lose "
                   "it: name another file\n");
    EXPECT_EQ(status, 2);
    EXPECT_EQ(Bytes(Path("doc.spiro")), document);
    EXPECT_EQ(Bytes(Path("rec.edf")), Bytes(kSample));
}

// A link at the output is replaced by the output, so writing through its name leaves the
// recording it points to alone.
TEST_F(OwnRecording, ALinkToTheRecordingIsReplacedNotFollowed)
{
    fs::create_symlink("rec.edf", Path("link.csv"));
    int status = -1;
    const std::string out = Run("formula rec.edf \"ch1*0\" --to 0.002 --out link.csv", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_FALSE(fs::is_symlink(Path("link.csv")));
    EXPECT_EQ(Bytes(Path("link.csv")), "0,0\n0.001,0\n0.002,0\n");
    EXPECT_EQ(Bytes(Path("rec.edf")), Bytes(kSample));
}

}  // namespace
