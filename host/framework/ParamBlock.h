// A message's parameter block built at run time, for messages the host itself sends to the
// plug-in: a u32 signature (4 bits a parameter, the first in the low nibble), then the values
// back to back, unaligned, as the boundary defines them.
#pragma once

#include <cstdint>
#include <vector>

#include "IMessage.h"
#include "IMessageHandler.h"

namespace Host {

class ParamBlock {
public:
    ParamBlock& Add(double value);
    ParamBlock& Add(int value);
    // A bool travels as an unsigned 4-byte value, 1 for true.
    ParamBlock& Add(bool value);

    const void* Data() const { return mBlock.data(); }

private:
    // Throws std::length_error past the eighth parameter.
    void Append(uint32_t code, const void* value, uint32_t bytes);

    std::vector<uint8_t> mBlock = std::vector<uint8_t>(4, 0);
    unsigned mCount = 0;
};

// Makes the message and delivers it to the handler through the host's message processor, which
// records it when its flags ask for that.
HRESULT DeliverMessage(IMessageHandler* destination, TCAFId id, uint32_t flags, const ParamBlock& params);

}  // namespace Host
