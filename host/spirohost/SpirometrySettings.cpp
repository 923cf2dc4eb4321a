#include "spirohost/SpirometrySettings.h"

#include <cstdint>
#include <locale>
#include <sstream>

namespace SpiroHost {
namespace {

// The newest record the document writes; version 2 ends after the report flag, and versions
// 0 and 1 keep their settings elsewhere.
constexpr uint32_t kNewestVersion = 3;
constexpr uint32_t kFirstWithSettings = 2;
constexpr int32_t kNoChannel = int32_t(0x80000000);

std::string Channel(int32_t channel)
{
    return channel == kNoChannel ? "none" : "channel " + std::to_string(int64_t(channel) + 1);
}

std::string Units(int32_t prefix)
{
    switch (prefix) {
    case 6:
        return "uL";
    case 7:
        return "mL";
    case 8:
        return "L";
    default:
        return "(prefix " + std::to_string(prefix) + ")";
    }
}

}  // namespace

std::string SpirometrySettingsText(KVD::BinIStream& in)
{
    uint32_t version = 0, nonForced = 0;
    int32_t flow = kNoChannel, volume = kNoChannel, prefix = 8;
    double cycleLevel = 0, threshold = 0, noiseFloor = 0;
    uint8_t clamped = 0;
    in >> version;
    if (in.good() && version > kNewestVersion)
        return "a record of version " + std::to_string(version) + ", newer than this program reads";
    if (in.good() && version < kFirstWithSettings)
        return "none in the record (version " + std::to_string(version) + ")";
    in >> flow >> volume >> cycleLevel >> threshold >> nonForced;
    if (version == kNewestVersion)
        in >> clamped >> noiseFloor >> prefix;
    if (!in.good())
        return "a record cut short";
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << "--cycle-level " << cycleLevel << " --forced-threshold " << threshold
         << (nonForced != 0 ? " --non-forced" : "") << " --units " << Units(prefix) << " --noise-floor "
         << (clamped != 0 ? noiseFloor : 0.0) << "; flow on " << Channel(flow) << ", volume on " << Channel(volume);
    return text.str();
}

}  // namespace SpiroHost
