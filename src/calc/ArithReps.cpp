#include "calc/ArithReps.h"

#include <string>

#include "calc/CalcEnumGuids.h"
#include "foundation/DynamicId.h"

namespace CalcParser {

namespace {

KVD::String TypeText(SymType type)
{
    return KVD::String(std::to_wstring(static_cast<int>(type)));
}

// Kinds whose constants have two components (real and imaginary part).
constexpr KVDEnumDataType kTwoComponentKinds = kEnumDataComplexVector | kEnumDataTwoComponent;
// A constant operand needs a source of samples, real vectors or complex vectors.
constexpr KVDEnumDataType kConstantOperandKinds = kEnumDataSamples | kEnumDataComplexVector | kEnumDataRealVector;

}  // namespace

UnaryOpArithRep::UnaryOpArithRep(SymType type) : SymbolRep(type)
{
    SetEnumOutputDataTypes(kEnumDataSamples, TypeIdClass<&GUID_ArithEnumObj, 1>::GetId());
}

UnaryOpArithRep::UnaryOpArithRep(SymType type, double constant, KVDEnumDataType kind) : SymbolRep(type)
{
    SetValue(constant);
    if (kind != 0 && (kind & kConstantOperandKinds) == 0)
        ThrowSourceParamDataEnumTypeError(nullptr, nullptr, 0);
    CAFId id;
    if (kind & kEnumDataRealVector)
        id = TypeIdClass<&GUID_ArithEnumObj, 19>::GetId();
    else if (kind & kEnumDataComplexVector)
        id = TypeIdClass<&GUID_ArithEnumObj, 20>::GetId();
    else
        id = TypeIdClass<&GUID_ArithEnumObj, 1>::GetId();
    SetEnumOutputDataTypes(kind, id);
}

KVD::String UnaryOpArithRep::GetSettings() const
{
    KVD::String text = TypeText(GetType());
    if (GetType() != kSymUnaryMinus) {
        text += L'\t';
        text += FormatSettingsNumber(GetValue());
        if (GetOutputDataType() & kTwoComponentKinds) {
            text += L'\t';
            text += FormatSettingsNumber(GetValue2());
        }
    }
    return text;
}

BinaryOpArithRep::BinaryOpArithRep(SymType type) : SymbolRep(type)
{
    const CAFId id = (type >= kSymPlus && type <= kSymAtan2) ? TypeIdClass<&GUID_ArithEnumObj, 0>::GetId() : 0;
    SetEnumOutputDataTypes(kEnumDataSamples, id);
}

KVD::String BinaryOpArithRep::GetSettings() const
{
    return TypeText(GetType());
}

BinaryOpArithByElementRep::BinaryOpArithByElementRep(SymType type) : SymbolRep(type)
{
    const CAFId id = (type >= kSymMulByElement && type <= kSymPowByElement) ? TypeIdClass<&GUID_ArithEnumObj, 13>::GetId() : 0;
    SetEnumOutputDataTypes(kEnumDataComplexVector, id);
}

KVD::String BinaryOpArithByElementRep::GetSettings() const
{
    return TypeText(GetType());
}

}  // namespace CalcParser
