// The enumerator interfaces cross the host boundary: every operation must sit in its slot.
#include <gtest/gtest.h>

#include <cstring>

#include "ICalcEnum.h"
#include "ICalcEnumClass2.h"
#include "IEnumEventEx.h"
#include "IEnumFloatEx.h"
#include "IEnumShortEx.h"
#include "IKVDCalcVariables.h"
#include "IKVDCompositeCalcEnum.h"
#include "IKVDSetCalcVariables.h"
#include "IUnitName.h"

namespace {

// Under the Itanium C++ ABI a pointer to a virtual member holds 1 + the byte offset of its
// vtable entry.
template <class F>
long Slot(F member)
{
    static_assert(sizeof(F) == 2 * sizeof(void*), "Itanium member pointer");
    uintptr_t raw = 0;
    std::memcpy(&raw, &member, sizeof(raw));
    return static_cast<long>((raw - 1) / sizeof(void*));
}

TEST(EnumInterfaces, StreamSlots)
{
    EXPECT_EQ(Slot(&IEnumExBase::Clone), 3);
    EXPECT_EQ(Slot(&IEnumExBase::SkipEx), 4);
    EXPECT_EQ(Slot(&IEnumExBase::GetPosition), 5);
    EXPECT_EQ(Slot(&IEnumExBase::IsFilling), 6);
    EXPECT_EQ(Slot(&IEnumExBase::GetTickToSample), 7);
    EXPECT_EQ(Slot(&IEnumFloatEx::Next), 8);
    EXPECT_EQ(Slot(&IEnumShortEx::Next), 8);
}

TEST(EnumInterfaces, CalcEnumSlots)
{
    EXPECT_EQ(Slot(&ICalcEnum::GetTypeId), 3);
    EXPECT_EQ(Slot(&ICalcEnum::GetClassObject), 4);
    EXPECT_EQ(Slot(&ICalcEnum::SetSettings), 5);
    EXPECT_EQ(Slot(&ICalcEnum::GetSettings), 6);
    EXPECT_EQ(Slot(&ICalcEnum::CloneSlave), 7);
    EXPECT_EQ(Slot(&ICalcEnum::SetSources), 8);
    EXPECT_EQ(Slot(&ICalcEnum::SetInitialPosition), 9);
    EXPECT_EQ(Slot(&ICalcEnum::ReleaseSources), 10);
    EXPECT_EQ(Slot(&ICalcEnum::IsUpdateNeeded), 11);
    EXPECT_EQ(Slot(&ICalcEnum::ClearCachedData), 12);
    EXPECT_EQ(Slot(&ICalcEnum::ReindexCachedData), 13);
    EXPECT_EQ(Slot(&ICalcEnum::GetOutputInfo), 14);
    EXPECT_EQ(Slot(&ICalcEnum::GetInstanceAttributes), 15);
    EXPECT_EQ(Slot(&ICalcEnum::GetRecordChannelType), 16);
    EXPECT_EQ(Slot(&ICalcEnum::GetTickToSample), 17);
    EXPECT_EQ(Slot(&ICalcEnum64::SetInitialPosition64), 18);
    EXPECT_EQ(Slot(&IKVDSetCalcVariables::SetCalcVariables), 3);
    EXPECT_EQ(Slot(&IKVDCompositeCalcEnum::SetResultChan), 3);
}

TEST(EnumInterfaces, EventAndClassSlots)
{
    EXPECT_EQ(Slot(&IEnumEventEx::Next), 3);
    EXPECT_EQ(Slot(&IEnumEventEx::Find), 4);
    EXPECT_EQ(Slot(&IEnumEventEx::GetPosition), 5);
    EXPECT_EQ(Slot(&IEnumEventEx::SkipIndex), 6);
    EXPECT_EQ(Slot(&IEnumEventEx::Clone), 7);
    EXPECT_EQ(Slot(&IEnumEventEx::GetSizeofEvents), 8);
    EXPECT_EQ(Slot(&IEnumEventEx::GetTypeofEvents), 9);
    EXPECT_EQ(Slot(&IEnumEventEx::GetIndex), 10);
    EXPECT_EQ(Slot(&IEnumEventEx::GetTickToSample), 11);
    EXPECT_EQ(Slot(&ICalcEnumClass2::GetTypeId), 3);
    EXPECT_EQ(Slot(&ICalcEnumClass2::IsInCategoryHR), 6);
    EXPECT_EQ(Slot(&ICalcEnumClass2::GetName), 7);
    EXPECT_EQ(Slot(&ICalcEnumClass2::GetDescription), 8);
    EXPECT_EQ(Slot(&ICalcEnumClass2::GetAttributes), 9);
    EXPECT_EQ(Slot(&ICalcEnumClass2::SettingsDialog), 10);
    EXPECT_EQ(Slot(&ICalcEnumClass2::Create), 11);
    EXPECT_EQ(Slot(&ICalcEnumClass2::CreateEx), 12);
}

TEST(EnumInterfaces, VariableSlots)
{
    // The operations the calculation library calls by their place after IUnknown's three.
    EXPECT_EQ(Slot(&IKVDCalcVariable::GetName), 3);
    EXPECT_EQ(Slot(&IKVDCalcVariable::AddObserver), 5);
    EXPECT_EQ(Slot(&IKVDCalcVariable::CreateCalcEnum), 8);
    EXPECT_EQ(Slot(&IKVDCalcVariableClass::CreateVariable), 7);
    EXPECT_EQ(Slot(&IKVDCalcVariableDouble::SetDoubleValue), 4);
    EXPECT_EQ(Slot(&IKVDExpressionVariable::SetDefinition), 3);
    EXPECT_EQ(Slot(&IKVDCalcVariables::FindVariable), 3);
    EXPECT_EQ(Slot(&IKVDCalcVariables::EnumVariableNames), 4);
    EXPECT_EQ(Slot(&IKVDCalcVariables::EnumVariables), 5);
    EXPECT_EQ(Slot(&IKVDCalcVariables::InsertVariable), 6);
    EXPECT_EQ(Slot(&IKVDCalcVariables::InsertVariables), 7);
    EXPECT_EQ(Slot(&IKVDCalcVariables::ObserveVariables), 8);
    EXPECT_EQ(Slot(&IKVDCalcVariables::ReleaseRefs), 9);
    EXPECT_EQ(Slot(&IKVDCalcVariables::Clone), 10);
    EXPECT_EQ(Slot(&IUnitName::Clone), 9);
}

TEST(EnumInterfaces, GivenIdentifiers)
{
    const _IID variables = {0x9DB9B8AA, 0x770B, 0x4C83, {0xB4, 0xD7, 0x3A, 0xEF, 0x51, 0x38, 0xD1, 0x96}};
    EXPECT_EQ(IIDOf<IKVDCalcVariables>(), variables);
    EXPECT_EQ(CATID_CALCENUMS.Data1, 0x8FC37F03u);
    EXPECT_EQ(CATID_CALCENUMS.Data4[7], 0x33);
}

}  // namespace
