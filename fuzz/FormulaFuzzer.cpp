// libFuzzer target: any bytes, taken as a formula, compile to a symbol list or fail with a
// message and a position within the prepared text.
#include <cstdio>
#include <cstdlib>

#include "FormulaFuzzEntry.h"
#include "host/calc/PublishedFunctions.h"
#include "host/framework/Framework.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Host::Framework::Install();
    Host::PublishFormulaFunctions();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Past the compiler's own length limit, so that the limits themselves are reached.
    if (size > 256 * 1024)
        return 0;
    const std::string broken = CalcTest::CheckFormula(CalcTest::FormulaFromBytes(data, size));
    if (!broken.empty()) {
        std::fprintf(stderr, "formula compiler: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
