// The host's calculation variables as their class makes them: one reference for the caller,
// the face of their kind only, and one identity.
#include <gtest/gtest.h>

#include "IKVDCalcVariable.h"
#include "ResultCodes.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "host/calc/CalcVariableClass.h"

namespace {

KVD::COMPtr<IKVDCalcVariable> MakeVariable(bool expression, const wchar_t* name)
{
    HostCalc::CalcVariableClass maker(expression);
    IKVDCalcVariable* made = nullptr;
    EXPECT_EQ(maker.CreateVariable(0, nullptr, KVD::String(name).AsIAutoKVDString(), 0, &made), KVD_S_OK);
    return KVD::COMPtr<IKVDCalcVariable>::Take(made);
}

uint32_t RefsOf(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

TEST(HostCalcVariable, IsMadeWithOneReferenceForTheCaller)
{
    KVD::COMPtr<IKVDCalcVariable> number = MakeVariable(false, L"k");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(RefsOf(number), 1u);
    KVD::String name;
    ASSERT_EQ(number->GetName(0, KVD::String::Setter(name)), KVD_S_OK);
    EXPECT_EQ(KVD::ToU8String(name), "k");
}

TEST(HostCalcVariable, ANumberAnswersItsDoubleFaceAndAnExpressionItsDefinitionFace)
{
    KVD::COMPtr<IKVDCalcVariable> number = MakeVariable(false, L"k");
    KVD::COMPtr<IKVDCalcVariableDouble> value = KVD::com_cast(number);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(RefsOf(number), 2u);
    EXPECT_EQ(KVD::COMPtr<IKVDExpressionVariable>(KVD::com_cast(number)), nullptr);
    ASSERT_EQ(value->SetDoubleValue(0, 2.5), KVD_S_OK);
    double read = 0.0;
    ASSERT_EQ(number->GetValue(0, &read), KVD_S_OK);
    EXPECT_EQ(read, 2.5);

    KVD::COMPtr<IKVDCalcVariable> expression = MakeVariable(true, L"e");
    EXPECT_NE(KVD::COMPtr<IKVDExpressionVariable>(KVD::com_cast(expression)), nullptr);
    EXPECT_EQ(KVD::COMPtr<IKVDCalcVariableDouble>(KVD::com_cast(expression)), nullptr);
}

TEST(HostCalcVariable, EveryFaceAnswersTheSameIdentity)
{
    KVD::COMPtr<IKVDCalcVariable> number = MakeVariable(false, L"k");
    KVD::COMPtr<IKVDCalcVariableDouble> value = KVD::com_cast(number);
    ASSERT_NE(value, nullptr);
    KVD::COMPtr<IUnknown> fromVariable = KVD::com_cast(number);
    KVD::COMPtr<IUnknown> fromValue = KVD::com_cast(value);
    EXPECT_EQ(fromVariable.get(), fromValue.get());
    EXPECT_EQ(fromVariable.get(), static_cast<IUnknown*>(number.get()));
    KVD::COMPtr<IKVDCalcVariable> back = KVD::com_cast(value);
    EXPECT_EQ(back.get(), number.get());
}

}  // namespace
