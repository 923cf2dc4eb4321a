// What the plug-in's entry point registers after its class-object list: the document class,
// the CSV Save As class and the three view classes, in that order and in their categories.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "RunCommand.h"

namespace {

TEST(PluginRegistration, DocumentSaveAsAndViewClassesFollowTheCalculations)
{
    int status = -1;
    const std::string out =
        TestSupport::RunCommand(TestSupport::Spirohost() + " list --bundle " + SPIRO_BUNDLE_DIR, &status);
    ASSERT_EQ(status, 0) << out;
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 5u);
    const std::string childDocuments = "09CE687B-DA72-4E29-988A-D8B9D5585C15";
    const std::string saveAs = "EFE271E3-CB64-4BB7-8195-0B31323497B8";
    const std::string views = "2281AD2E-33BC-4CD0-B481-50CA2CD3DFD2";
    const std::vector<std::pair<std::string, std::string>> last = {
        {childDocuments, "SpiroDocument"},
        {saveAs, "N10Spirometry18CSVSaveClassObjectE"},
        {views, "Spirometry Data View"},
        {views, "Spirometry Loop View"},
        {views, "Spirometry Report"},
    };
    for (size_t i = 0; i < last.size(); ++i) {
        const std::string& line = lines[lines.size() - last.size() + i];
        EXPECT_NE(line.find("category " + last[i].first + "  " + last[i].second), std::string::npos) << line;
    }
    // The calculations come first: a document can rely on the host knowing them.
    EXPECT_NE(out.find("Spirometry Flow"), std::string::npos);
    EXPECT_LT(out.find("Spirometry Flow"), out.find("SpiroDocument"));
}

}  // namespace
