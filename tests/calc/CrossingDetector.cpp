#include "CrossingDetector.h"

#include <cfloat>

#include "host/calc/PublishedFunctions.h"

namespace CalcTest {
namespace {

// 5F2B1E7A-3C4D-4E8F-9A0B-1C2D3E4F5A6B: the test detector's class.
inline constexpr _IID GUID_TestCrossings = {0x5F2B1E7A, 0x3C4D, 0x4E8F, {0x9A, 0x0B, 0x1C, 0x2D, 0x3E, 0x4F, 0x5A, 0x6B}};

const wchar_t* const kParamNames[] = {L"Source", L"Level"};
const CalcEnums::Range kParamRanges[] = {{0, 0}, {-DBL_MAX, DBL_MAX}};
const KVDEnumDataType kParamTypes[] = {0x80000000, 0x80000000};
const wchar_t* const kAliases[] = {L"Crossings"};

CalcEnums::CalcEnumClassBase2::Traits sTraits{L"CrossingsEnum", L"Upward crossings of a level", &GUID_TestCrossings, 0};
CalcEnums::CalcEnumNumericParamsClass<EEH3Enumerator<Crossings, 8>> sClass(&sTraits);

// Published with the host's functions, before the first compilation builds the tables.
const bool sPublished =
    Host::AddFormulaFunctionClass(reinterpret_cast<ICAFClassObject*>(static_cast<ICalcEnumClass2*>(&sClass)));

}  // namespace

const CalcEnums::NumericParamsFuncTable Crossings::sFuncTable = {
    kParamNames, kParamRanges, kParamTypes, 2, 1, kAliases, 1, 0xA0000000, 0x40000000};

}  // namespace CalcTest
