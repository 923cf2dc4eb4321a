// Maps the units name of a channel to the units a trace shows, for traces in units of their own.
#pragma once

#include <cstdint>

#include "foundation/KVDString.h"
#include "foundation/units/UnitPrefix.h"

namespace OrrelDraw {

class UnitMapper {
public:
    // Derived mappers are owned and deleted through this base.
    virtual ~UnitMapper() = default;

    // The channel whose units name is read beside the trace's own, and its request word.
    virtual int32_t GetChannel() const = 0;
    virtual uint32_t GetFlags() const = 0;
    // The shown units from the trace channel's name and the mapper channel's name; false when
    // there is none. prefix: the prefix the shown name carries.
    virtual bool Map(const KVD::String& channelUnits, const KVD::String& mapperUnits, KVD::String& shown,
                     UnitPrefix& prefix) const = 0;
};

}  // namespace OrrelDraw
