#include "calc/NumericParamsFunctions.h"

#include "calc/CalcEnumGuids.h"
#include "foundation/DynamicId.h"

namespace CalcParser {
namespace {

constexpr CalcNPFuncInfoFlags kChangesRate = 0x10000000;
constexpr double kIntMax = 2147483647.0;
// A source parameter has no range.
constexpr CalcEnums::Range kSource = {0, 0};

const wchar_t* const kSeedNames[] = {L"Seed"};
const CalcEnums::Range kSeedRanges[] = {{0, kIntMax}};
const wchar_t* const kSmoothNames[] = {L"Source", L"Width"};
const CalcEnums::Range kSmoothRanges[] = {kSource, {3, 2000001}};
const wchar_t* const kShiftNames[] = {L"Source", L"Delay (secs)"};
const CalcEnums::Range kShiftRanges[] = {kSource, {-10000, 10000}};
const wchar_t* const kDiffNames[] = {L"Source", L"Width", L"Order", L"Fit order"};
const CalcEnums::Range kDiffRanges[] = {kSource, {2, 999}, {0, 2}, {1, 5}};
const wchar_t* const kInterpNames[] = {L"Source", L"OutSamplesPerInSample"};
const CalcEnums::Range kInterpRanges[] = {kSource, {0, 1000000}};
// Nine rows; the function declares seven parameters, so the last two are never reached.
const wchar_t* const kResampleNames[] = {L"Source", L"DecimateBy", L"InterpBy",  L"fc/fnyq",  L"N",
                                         L"fcsub/fnyq", L"filterType", L"freqOffset", L"beta [=6]"};
const CalcEnums::Range kResampleRanges[] = {kSource, {1, 1001}, {1, 1001}, {0, 1}, {1, 100001},
                                            {0, 1},  {0, 2},    {-1, 1},   {0, 100}};
const wchar_t* const kEnergyNames[] = {L"Source", L"Low", L"High", L"Width"};
const CalcEnums::Range kEnergyRanges[] = {kSource, {0, 1000}, {0, 1000}, {0, 1000}};
const wchar_t* const kMainsNames[] = {L"Source", L"MainsSource", L"MainsFreq", L"Clip %", L"Flags"};
const CalcEnums::Range kMainsRanges[] = {kSource, kSource, {1, 100}, {0, 100}, {0, kIntMax}};

}  // namespace

#define CALC_TABLES(Name, names, ranges)                             \
    const wchar_t* const* const Name::sParamNames = names;          \
    const CalcEnums::Range* const Name::sParamRanges = ranges

CALC_TABLES(SampleTime, nullptr, nullptr);
CALC_TABLES(Count, nullptr, nullptr);
CALC_TABLES(Block, nullptr, nullptr);
CALC_TABLES(SampleRate, nullptr, nullptr);
CALC_TABLES(Random, kSeedNames, kSeedRanges);
CALC_TABLES(Gaussian, kSeedNames, kSeedRanges);
CALC_TABLES(Smooth, kSmoothNames, kSmoothRanges);
CALC_TABLES(Shift, kShiftNames, kShiftRanges);
CALC_TABLES(Diff, kDiffNames, kDiffRanges);
CALC_TABLES(StepInterpolator, kInterpNames, kInterpRanges);
CALC_TABLES(Resample, kResampleNames, kResampleRanges);
CALC_TABLES(EnergySymbol, kEnergyNames, kEnergyRanges);
CALC_TABLES(MainsFilterExSymbol, kMainsNames, kMainsRanges);

#undef CALC_TABLES

SampleTime::SampleTime() : TableFuncRep(L"SampleTime", TypeIdClass<&GUID_ArithEnumObj, 3>::GetId(), 0, 0, 0, -1) {}

Count::Count() : TableFuncRep(L"SegRepCount", TypeIdClass<&GUID_ArithEnumObj, 10>::GetId(), 0, 0, 0, -1) {}

Block::Block() : TableFuncRep(L"Block", TypeIdClass<&GUID_ArithEnumObj, 11>::GetId(), 0, 0, 0, -1) {}

SampleRate::SampleRate() : TableFuncRep(L"SampleRate", TypeIdClass<&GUID_ArithEnumObj, 9>::GetId(), 0, 0, 0, -1) {}

Random::Random() : TableFuncRep(L"Random", TypeIdClass<&GUID_ArithEnumObj, 5>::GetId(), 1, 0, 0, -1) {}

Gaussian::Gaussian() : TableFuncRep(L"Gaussian", TypeIdClass<&GUID_ArithEnumObj, 6>::GetId(), 1, 0, 0, -1) {}

Smooth::Smooth() : TableFuncRep(L"Smooth", TypeIdClass<&GUID_CombFilter2CalcEnumObj, 0>::GetId(), 2, 1, 0, -1) {}

Shift::Shift() : TableFuncRep(L"Shift", TypeIdClass<&GUID_ShiftCalcEnumObj, 0>::GetId(), 2, 1, 0, -1) {}

Diff::Diff() : TableFuncRep(L"Diff", TypeIdClass<&GUID_DifferentialCalcEnumObj, 0>::GetId(), 4, 1, 0, -1) {}

StepInterpolator::StepInterpolator()
    : TableFuncRep(L"Interp", TypeIdClass<&GUID_RateEnumObj, 1>::GetId(), 2, 1, kChangesRate, -1)
{
}

Resample::Resample() : TableFuncRep(L"Resample", TypeIdClass<&GUID_RateEnumObj, 2>::GetId(), 7, 1, kChangesRate, -1)
{
}

EnergySymbol::EnergySymbol() : TableFuncRep(L"Energy", TypeIdClass<&GUID_EnergyCalcEnumObj, 0>::GetId(), 4, 1, 0, -1)
{
}

MainsFilterExSymbol::MainsFilterExSymbol()
    : TableFuncRep(L"MainsFilterEx", TypeIdClass<&GUID_MainsFilterExCalcEnumObj, 1>::GetId(), 5, 2, 0, -1)
{
}

}  // namespace CalcParser
