// The enumerator interfaces cross the host boundary: every operation must sit in its slot.
#include <gtest/gtest.h>

#include "ICalcEnum.h"
#include "ICalcEnumClass2.h"
#include "IEnumEventEx.h"
#include "IEnumFloatEx.h"
#include "IEnumShortEx.h"
#include "IKVDCalcVariables.h"
#include "IKVDCompositeCalcEnum.h"
#include "IKVDSetCalcVariables.h"
#include "IUnitName.h"
#include "support/VtableSlot.h"

namespace {

TEST(EnumInterfaces, SlotsAndGivenIdentifiers)
{
    TestSupport::ExpectSlots({
        TEST_SLOT(IEnumExBase::Clone, 3), TEST_SLOT(IEnumExBase::SkipEx, 4), TEST_SLOT(IEnumExBase::GetPosition, 5),
        TEST_SLOT(IEnumExBase::IsFilling, 6), TEST_SLOT(IEnumExBase::GetTickToSample, 7),
        TEST_SLOT(IEnumFloatEx::Next, 8), TEST_SLOT(IEnumShortEx::Next, 8),
        TEST_SLOT(ICalcEnum::GetTypeId, 3), TEST_SLOT(ICalcEnum::GetClassObject, 4),
        TEST_SLOT(ICalcEnum::SetSettings, 5), TEST_SLOT(ICalcEnum::GetSettings, 6),
        TEST_SLOT(ICalcEnum::CloneSlave, 7), TEST_SLOT(ICalcEnum::SetSources, 8),
        TEST_SLOT(ICalcEnum::SetInitialPosition, 9), TEST_SLOT(ICalcEnum::ReleaseSources, 10),
        TEST_SLOT(ICalcEnum::IsUpdateNeeded, 11), TEST_SLOT(ICalcEnum::ClearCachedData, 12),
        TEST_SLOT(ICalcEnum::ReindexCachedData, 13), TEST_SLOT(ICalcEnum::GetOutputInfo, 14),
        TEST_SLOT(ICalcEnum::GetInstanceAttributes, 15), TEST_SLOT(ICalcEnum::GetRecordChannelType, 16),
        TEST_SLOT(ICalcEnum::GetTickToSample, 17), TEST_SLOT(ICalcEnum64::SetInitialPosition64, 18),
        TEST_SLOT(IKVDSetCalcVariables::SetCalcVariables, 3), TEST_SLOT(IKVDCompositeCalcEnum::SetResultChan, 3),
        TEST_SLOT(IEnumEventEx::Next, 3), TEST_SLOT(IEnumEventEx::Find, 4), TEST_SLOT(IEnumEventEx::GetPosition, 5),
        TEST_SLOT(IEnumEventEx::SkipIndex, 6), TEST_SLOT(IEnumEventEx::Clone, 7),
        TEST_SLOT(IEnumEventEx::GetSizeofEvents, 8), TEST_SLOT(IEnumEventEx::GetTypeofEvents, 9),
        TEST_SLOT(IEnumEventEx::GetIndex, 10), TEST_SLOT(IEnumEventEx::GetTickToSample, 11),
        TEST_SLOT(ICalcEnumClass2::GetTypeId, 3), TEST_SLOT(ICalcEnumClass2::IsInCategoryHR, 6),
        TEST_SLOT(ICalcEnumClass2::GetName, 7), TEST_SLOT(ICalcEnumClass2::GetDescription, 8),
        TEST_SLOT(ICalcEnumClass2::GetAttributes, 9), TEST_SLOT(ICalcEnumClass2::SettingsDialog, 10),
        TEST_SLOT(ICalcEnumClass2::Create, 11), TEST_SLOT(ICalcEnumClass2::CreateEx, 12),
        TEST_SLOT(IKVDCalcVariable::GetName, 3), TEST_SLOT(IKVDCalcVariable::AddObserver, 5),
        TEST_SLOT(IKVDCalcVariable::CreateCalcEnum, 8), TEST_SLOT(IKVDCalcVariableClass::CreateVariable, 7),
        TEST_SLOT(IKVDCalcVariableDouble::SetDoubleValue, 4), TEST_SLOT(IKVDExpressionVariable::SetDefinition, 3),
        TEST_SLOT(IKVDCalcVariables::FindVariable, 3), TEST_SLOT(IKVDCalcVariables::EnumVariableNames, 4),
        TEST_SLOT(IKVDCalcVariables::EnumVariables, 5), TEST_SLOT(IKVDCalcVariables::InsertVariable, 6),
        TEST_SLOT(IKVDCalcVariables::InsertVariables, 7), TEST_SLOT(IKVDCalcVariables::ObserveVariables, 8),
        TEST_SLOT(IKVDCalcVariables::ReleaseRefs, 9), TEST_SLOT(IKVDCalcVariables::Clone, 10),
        TEST_SLOT(IUnitName::Clone, 9),
    });
    const _IID variables = {0x9DB9B8AA, 0x770B, 0x4C83, {0xB4, 0xD7, 0x3A, 0xEF, 0x51, 0x38, 0xD1, 0x96}};
    EXPECT_EQ(IIDOf<IKVDCalcVariables>(), variables);
    EXPECT_EQ(CATID_CALCENUMS.Data1, 0x8FC37F03u);
    EXPECT_EQ(CATID_CALCENUMS.Data4[7], 0x33);
}

}  // namespace
