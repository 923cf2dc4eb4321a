// The host's arithmetic streams that read no source: a constant (GUID_ArithEnumObj sub-id 2),
// the time of each sample in seconds (3), uniform noise in [0, 1) (5) and standard Gaussian
// noise (6) from a seed, the sample rate in Hz (9), the segment repeat count (10, always 0:
// this host repeats no segments) and the record number (11). They never end. Noise is a
// function of the seed and the position, so a stream read again, skipped or cloned gives the
// same samples.
#pragma once

#include "host/calc/HostSampleEnum.h"

namespace HostCalc {

class ArithGeneratorEnum : public HostSampleEnumT<ArithGeneratorEnum> {
public:
    enum Kind { kConstant = 2, kSampleTime = 3, kRandom = 5, kGaussian = 6, kSampleRate = 9, kSegRepCount = 10, kBlock = 11 };

    ArithGeneratorEnum(ICalcEnumClass2* classObject, IOrrelData2* data, Kind kind)
        : HostSampleEnumT(classObject, data, 0), mKind(kind)
    {
    }

    // Uniform in [0, 1) and standard normal, from seed and position alone.
    static double Uniform(uint64_t seed, int64_t position);
    static double Gaussian(uint64_t seed, int64_t position);

protected:
    bool ReadSettings(const KVD::String& text) override;
    void Compute(float* out, const float* const* inputs, int32_t position, uint32_t n) override;

private:
    Kind mKind;
    double mValue = 0.0;  // the constant, or the noise seed
};

// The class object's view of one kind: constructs the generator of that kind.
template <ArithGeneratorEnum::Kind K>
class ArithGeneratorEnumOf : public ArithGeneratorEnum {
public:
    ArithGeneratorEnumOf(ICalcEnumClass2* classObject, IOrrelData2* data) : ArithGeneratorEnum(classObject, data, K) {}
};

}  // namespace HostCalc
