// What the spirometry dialogs and the volume calculation ask about channels: a channel's token
// in a calculation expression, its units, unit prefix, colour and value range, the channel
// names of the dialogs' channel menus, turning a channel into an arithmetic calculation, and
// the check for user-defined units. None of them throws; a host that does not answer leaves
// the outputs at their defaults.
#pragma once

#include <cstdint>
#include <vector>

#include "IOrrelDocument.h"
#include "foundation/KVDString.h"
#include "foundation/draw/TColor.h"
#include "foundation/units/UnitPrefix.h"

namespace Spirometry {

struct SpConfig;

// One entry of a channel list: the channel's name and index (0x80000000: none was found).
struct ChannelAssoc {
    KVD::String name;
    int32_t channel;
};

namespace DlgCommon {

// Channel kinds of the second word of a channel id.
constexpr uint32_t kRawChannelKind = 1;
constexpr uint32_t kVirtualChannelKind = 4;
constexpr int32_t kUnsetChannel = static_cast<int32_t>(0x80000000);

// "RCh", "VCh" or "Ch" after the channel's kind, then the channel's number (index + 1).
void getSourceChanAsString(KVD::String& text, TChannelId channel);
// False for the unset channel; the text is left as it is.
bool getChannelUnitsR(bool, TChannelId channel, int, KVD::String& text, IOrrelData2* data);
bool getChannelHasMultipleBaseUnits(TChannelId channel, IOrrelData2* data);
// The prefix the document shows flow in, whatever the channel.
void getUnitsPrefixR(TChannelId channel, int record, UnitPrefix& prefix, IOrrelData2* data, const SpConfig* config);
// The channel's trace colour, 8-bit components widened to 16 bits; false when not answered.
bool getChannelColour(TColor& colour, int channel, IAutoOrrelDoc* document);
// The values the channel's 16-bit storage can reach at most, from its data scaling.
bool getChannelRangeR(IAutoOrrelDoc* document, long channel, int record, bool raw, bool displayUnits, double& low,
                      double& high);
// Makes the channel the host's arithmetic calculation of the expression, in the units given.
bool setChannelCalculation(CAFId calculationClass, const KVD::String& expression, const KVD::String& units,
                           IOrrelData2* data, TChannelId channel);
// The titles of the document's channels, at least up to channel.
std::vector<KVD::String> GetChannelNames(IAutoOrrelDoc* document, const IRecordData* records, int channel);
// Over every record of channel b: whether the user set up its units, and whether they are
// anything but volts (an empty unit counts as volts).
void CheckForUserUnits(IAutoOrrelDoc* document, int32_t a, int32_t b, bool& userUnits, bool& notVolts);

}  // namespace DlgCommon
}  // namespace Spirometry
