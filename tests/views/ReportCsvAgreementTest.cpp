// The report and the CSV report of one analysis give the same figures: every breath's timing,
// volumes and flows, and the summaries, in litres and in millilitres.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include "ReportViewHost.h"
#include "framework/MsgData.h"
#include "host/synth/SyntheticBreathing.h"
#include "spirometry/SpiroIds.h"

using namespace ViewsTest;

namespace {

typedef MsgData8<MsgIdClass<&Spirometry::SpiroDocumentGUID, 2>, 0, double, double, bool, int, int, int, double, bool>
    SettingsChangeMsg;

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.push_back("");
    return parts;
}

// The echoed templates of a page: letter and arguments, in page order.
std::vector<std::pair<char, std::vector<std::string>>> Echoes(const std::string& page)
{
    std::vector<std::pair<char, std::vector<std::string>>> echoes;
    for (size_t open = page.find('('); open != std::string::npos; open = page.find('(', open + 1)) {
        const size_t close = page.find(')', open);
        echoes.emplace_back(page[open - 1], Split(page.substr(open + 1, close - open - 1), '|'));
    }
    return echoes;
}

// Digit for digit: a reader comparing the two sees the same figures.
void ExpectSame(const std::string& report, const std::string& csv, const std::string& what)
{
    ASSERT_FALSE(csv.empty()) << what;
    EXPECT_EQ(report, csv) << what;
}

// A prefix, and whether the recording is the long generated one.
class ReportAgreesWithCsv : public ReportViewHost, public ::testing::WithParamInterface<std::tuple<int, bool>> {
protected:
    std::shared_ptr<const Host::Recording> Breathing() const override
    {
        if (!std::get<1>(GetParam()))
            return nullptr;
        // Half an hour at the generator's defaults but for the rate: the figures' last digits
        // come out of long tick counts and many breaths.
        Host::SyntheticOptions options;
        options.rate = 200;
        options.forcedBreaths = 40;
        return std::make_shared<Host::Recording>(Host::SyntheticBreathing(options).MakeRecording("long.edf"));
    }
};

TEST_P(ReportAgreesWithCsv, InEveryBreathAndTheSummary)
{
    const int prefix = std::get<0>(GetParam());
    mDoc->SendMsg(mDoc->GetDestination(), SettingsChangeMsg(2.0, 1.0, true, mFlow, mVolume, prefix, 0.0, false), 0);
    OpenReport();
    const auto path = mBundle.Path() / "report.csv";
    ASSERT_EQ(mDoc->WriteTheReportInCSV(KVD::ToKVDString(path.string())), KVD_S_OK);
    std::ifstream in(path, std::ios::binary);
    std::vector<std::vector<std::string>> csv;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        csv.push_back(Split(line, ','));
    }
    // The cells `lines` lines below the line that is exactly heading.
    auto below = [&](const std::string& heading, size_t lines) {
        for (size_t i = 0; i + lines < csv.size(); ++i)
            if (csv[i].size() == 1 && csv[i][0] == heading)
                return csv[i + lines];
        return std::vector<std::string>(8);
    };
    size_t row = 0;
    while (row < csv.size() && (csv[row].empty() || csv[row][0] != "Breath #"))
        ++row;

    const auto echoes = Echoes(PageText());
    unsigned breaths = 0;
    for (const auto& [kind, args] : echoes) {
        if (kind != 'N' && kind != 'F' && kind != 'X')
            continue;
        const std::vector<std::string>& cells = csv.at(++row);
        const std::string which = "breath " + args[0];
        ASSERT_EQ(std::stoi(cells[0]), std::stoi(args[0])) << which;
        for (int c = 1; c <= 3; ++c)
            ExpectSame(args[c], cells[c], which + " timing " + std::to_string(c));
        if (kind == 'N') {
            ++breaths;
            ExpectSame(args[4], cells[4], which + " V_T");
        } else if (kind == 'F') {
            ++breaths;
            // PIF, PIF/min, PEF, PEF/min, FVC, FEV1, FEV1/FVC.
            const int argument[] = {4, 6, 8, 10, 12, 14, 16};
            for (int k = 0; k < 7; ++k)
                ExpectSame(args[argument[k]], cells.at(5 + k), which + " figure " + std::to_string(k));
        }
    }
    EXPECT_EQ(breaths, std::get<1>(GetParam()) ? 286u : 5u);
    for (const auto& [kind, args] : echoes) {
        if (kind == 'O') {
            ExpectSame(args[0], below("Overall", 2)[0], "overall duration");
            ExpectSame(args[2], below("Overall", 2)[1], "breaths");
            ExpectSame(args[1], below("Non-forced", 2)[0], "non-forced duration");
            ExpectSame(args[3], below("Non-forced", 2)[1], "non-forced breaths");
        }
        if (kind == 'M') {
            const std::vector<std::string> summary = below("Non-forced breaths", 2);
            const int argument[] = {0, 2, 4, 6, 7};
            for (int k = 0; k < 5; ++k)
                ExpectSame(args[argument[k]], summary.at(k), "summary " + std::to_string(k));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Prefixes, ReportAgreesWithCsv,
                         ::testing::Combine(::testing::Values(8, 7, 6), ::testing::Values(false, true)));

}  // namespace
