// The host's units-conversion class, found by type id through the object factory, and the
// plug-in side that asks it for unit names.
#include <gtest/gtest.h>

#include "IUnitsConversion.h"
#include "ResultCodes.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "foundation/units/PrefixedUnit.h"
#include "foundation/units/UnitPrefix.h"
#include "host/framework/Framework.h"

namespace {

using KVD::String;
using KVD::Utility::PrefixedUnit;
using UnitsClassAccessor =
    ObjectFactoryClassObjectAccessor<IUnitsConversionClass, TypeIdClass<&GUID_KVDUnits, kKVDUnits_ConversionClass>>;

struct Unit {
    UnitPrefix prefix;
    String name;
    uint32_t flags;
};

// Reads an answered unit name and releases it.
Unit Take(IUnitName* unit)
{
    Unit read{kUnitPrefixUnknown, String(), 99};
    EXPECT_NE(unit, nullptr);
    if (unit == nullptr)
        return read;
    EXPECT_EQ(unit->GetPrefix(&read.prefix), KVD_S_OK);
    EXPECT_EQ(unit->GetName(0, String::Setter(read.name)), KVD_S_OK);
    EXPECT_EQ(unit->GetFlags(&read.flags), KVD_S_OK);
    EXPECT_EQ(unit->Release(), 0u);  // the caller held the only reference
    return read;
}

TEST(UnitsConversionClass, IsRegisteredUnderTheUnitsTypeId)
{
    const TCAFId typeId = TypeIdClass<&GUID_KVDUnits, 0>::GetId();
    ICAFClassObject* object = nullptr;
    ASSERT_EQ(Host::Framework::Instance()->GetClassObject(typeId, IID_ICAFClassObject,
                                                          reinterpret_cast<void**>(&object)),
              KVD_S_OK);
    TCAFId answered = 0;
    EXPECT_EQ(object->GetTypeId(&answered), KVD_S_OK);
    EXPECT_EQ(answered, typeId);
    String name;
    EXPECT_EQ(object->GetObjectName(String::Setter(name)), KVD_S_OK);
    EXPECT_EQ(name, L"Units Conversion");
    object->Release();
    EXPECT_NE(UnitsClassAccessor::Get(), nullptr);
}

TEST(UnitsConversionClass, MakesUnitNamesFromPrefixNameAndFlag)
{
    IUnitsConversionClass* units = UnitsClassAccessor::Get();
    ASSERT_NE(units, nullptr);
    IUnitName* made = nullptr;
    ASSERT_EQ(units->CreateUnitName(kUnitPrefixMilli, String(L"L").AsIAutoKVDString(), 7, &made), KVD_S_OK);
    const Unit unit = Take(made);
    EXPECT_EQ(unit.prefix, kUnitPrefixMilli);
    EXPECT_EQ(unit.name, L"L");
    EXPECT_EQ(unit.flags, 1u);

    ASSERT_EQ(units->CreateUnitName(kUnitPrefixNone, nullptr, 0, &made), KVD_S_OK);
    EXPECT_EQ(Take(made).name, L"");

    made = reinterpret_cast<IUnitName*>(0x1);
    EXPECT_EQ(units->CreateUnitName(UnitPrefix(15), String(L"V").AsIAutoKVDString(), 0, &made), KVD_E_BADSTATE);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(units->CreateUnitName(kUnitPrefixNone, nullptr, 0, nullptr), KVD_E_NULLOUT);
}

TEST(PrefixedUnit, PrefixCharactersMapToIndexes)
{
    PrefixedUnit unit(L"V");
    EXPECT_EQ(unit.GetPrefixChar(), L'\0');
    EXPECT_EQ(unit.getUnitPrefix(), kUnitPrefixNone);
    const struct {
        wchar_t letter;
        UnitPrefix prefix;
    } cases[] = {{L'a', kUnitPrefixAtto}, {L'f', kUnitPrefixFemto}, {L'p', kUnitPrefixPico},
                 {L'n', kUnitPrefixNano}, {L'u', kUnitPrefixMicro}, {L'\u00B5', kUnitPrefixMicro},
                 {L'm', kUnitPrefixMilli}, {L'k', kUnitPrefixKilo}, {L'M', kUnitPrefixMega},
                 {L'G', kUnitPrefixGiga}, {L'T', kUnitPrefixUnknown}, {L'P', kUnitPrefixUnknown},
                 {L'E', kUnitPrefixUnknown}, {L'K', kUnitPrefixUnknown}, {L'x', kUnitPrefixUnknown}};
    for (const auto& c : cases) {
        unit.SetPrefixChar(c.letter);
        EXPECT_EQ(unit.getUnitPrefix(), c.prefix) << int(c.letter);
    }
}

TEST(PrefixedUnit, AsksTheHostForItsUnitName)
{
    PrefixedUnit flow(L"L/s");
    Unit unit = Take(flow.GetIUnitName());
    EXPECT_EQ(unit.prefix, kUnitPrefixNone);
    EXPECT_EQ(unit.name, L"L/s");
    EXPECT_EQ(unit.flags, 0u);

    PrefixedUnit volume(L"L");
    volume.SetPrefixChar(L'm');
    unit = Take(volume.GetIUnitName());
    EXPECT_EQ(unit.prefix, kUnitPrefixMilli);
    EXPECT_EQ(unit.name, L"L");

    // T has no index on this side: the host is asked for the unknown prefix, not a wrong one.
    PrefixedUnit tera(L"Hz");
    tera.SetPrefixChar(L'T');
    EXPECT_EQ(Take(tera.GetIUnitName()).prefix, kUnitPrefixUnknown);
}

}  // namespace
