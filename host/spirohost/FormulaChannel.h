// A channel computed by a formula, as the commands set one up: the formula is compiled first,
// so that a mistake is reported with the parser's message and position, and then put on the
// channel as the host's arithmetic calculation, which the composite enumerator runs.
#pragma once

#include <string>

#include "host/data/ChannelTable.h"
#include "host/data/DocumentData.h"

namespace SpiroHost {

// Empty when the formula compiled and its calculation is on the channel; otherwise what went
// wrong, for a user: the parser's message, its position in the formula as typed and the piece
// of the formula around it with a caret under the place.
std::string PutFormula(Host::DocumentData& data, int channel, const std::string& formula);

// Empty when the channel's calculation computes the record; otherwise why not, for a user (a
// formula over a channel the recording does not have, say). Computes the record.
std::string RunFailure(Host::ChannelTable& channels, int record, int channel);

}  // namespace SpiroHost
