// The expiratory-only tidal volume end to end: spirohost's dialog command turns it on in the
// tidal-volume dialog, the host finds the breaths with its cycle detection, and the channel
// shows, through each breath, the volume the generator expired in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RunCommand.h"
#include "support/TempFolder.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

constexpr double kRate = 100.0;
// The dialog command's flow takes the default flow head, 40.1 L/s per volt, over a raw signal
// that the generator writes at 2 L/s per volt: every volume shows 20.05 times its truth.
constexpr double kHeadGain = 40.1 / 2.0;

struct TrueBreath {
    double start, ti, te, volume;
};

std::vector<std::string> Cells(const std::string& line)
{
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ','))
        cells.push_back(cell);
    return cells;
}

// The breaths of the generator's figures: start, Ti, Te and V_T or FVC.
std::vector<TrueBreath> Figures(const std::string& path)
{
    std::ifstream in(path);
    std::vector<TrueBreath> breaths;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        const std::vector<std::string> cells = Cells(line);
        if (cells.size() < 7)
            break;
        breaths.push_back({std::stod(cells[2]), std::stod(cells[3]), std::stod(cells[4]), std::stod(cells[6])});
    }
    return breaths;
}

// The value column of the dialog command's time,value lines.
std::vector<double> Samples(const std::string& path)
{
    std::ifstream in(path);
    std::vector<double> values;
    std::string line;
    while (std::getline(in, line))
        values.push_back(std::stod(line.substr(line.find(',') + 1)));
    return values;
}

TEST(ExpiratoryTidalVolume, EachBreathShowsTheVolumeItExpired)
{
    TestSupport::TempFolder folder;
    const std::string edf = (folder.Path() / "breathing.edf").string();
    const std::string figures = (folder.Path() / "figures.csv").string();
    const std::string csv = (folder.Path() / "tidal.csv").string();
    int status = -1;
    std::string out = RunCommand(Spirohost() + " generate " + edf + " --rate 100 --quiet 3 --forced 1 --seed 3" +
                                     " --figures " + figures + " 2>&1",
                                 &status);
    ASSERT_EQ(status, 0) << out;
    out = RunCommand(Spirohost() + " dialog " + edf + " --raw 1 --calc tidal --do \"click expirationCheck\"" +
                         " --do \"press OK\" --csv " + csv + " 2>&1",
                     &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out, "accepted\n");

    const std::vector<TrueBreath> breaths = Figures(figures);
    const std::vector<double> tidal = Samples(csv);
    ASSERT_EQ(breaths.size(), 7u);
    ASSERT_FALSE(tidal.empty());
    for (size_t k = 0; k < breaths.size(); ++k) {
        const TrueBreath& b = breaths[k];
        // Read halfway through the expiration: from the breath's start to the next one's the
        // channel holds the breath's expired volume.
        const size_t tick = static_cast<size_t>(std::lround((b.start + b.ti + b.te / 2) * kRate));
        ASSERT_LT(tick, tidal.size());
        const double measured = tidal[tick] / kHeadGain;
        EXPECT_LE(std::fabs(measured - b.volume), std::max(0.03 * b.volume, 0.05))
            << "breath " << k + 1 << ": " << measured << " L against " << b.volume << " L";
    }
}

}  // namespace
