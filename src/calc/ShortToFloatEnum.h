// Adapts a 16-bit recorded stream to a float stream: sample n of the output is sample n of the
// source as a float. The composite enumerator puts one between a raw source and an operation
// that refused it.
#pragma once

#include "IEnumShortEx.h"
#include "calc/ForwardingCalcEnum.h"

namespace ConversionEnums {

class ShortToFloatEnum : public CalcEnums::ForwardingCalcEnum<IEnumShortEx> {
public:
    ShortToFloatEnum() : ForwardingCalcEnum(nullptr, nullptr) {}

    // A converter without class object or data; out receives the only reference.
    static HRESULT Create(ICalcEnum** out);

    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override;
    // The samples keep their values, so the output has the source's unit.
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;
    HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) override;
    HRESULT Clone(IEnumExBase** out) override;
    // Reads the 16-bit samples into the caller's buffer and widens them in place.
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;

protected:
    // The stream is private to its reader: no splitter is needed in front of it.
    CalcInstanceAttributes Attributes() const override { return kAttrPrivateStream | kAttrSampleEnum; }
};

}  // namespace ConversionEnums
