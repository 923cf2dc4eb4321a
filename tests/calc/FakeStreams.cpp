#include "calc/FakeStreams.h"

namespace CalcTest {

std::vector<float> Ramp(unsigned n)
{
    std::vector<float> samples(n);
    for (unsigned i = 0; i < n; ++i)
        samples[i] = static_cast<float>(i);
    return samples;
}

}  // namespace CalcTest
