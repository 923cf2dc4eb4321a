#include "calc/SymbolRep.h"

#include <locale>
#include <sstream>

#include "IKVDSetCalcVariables.h"
#include "ICalcEnumClass2.h"
#include "calc/CalcEnumGuids.h"
#include "calc/CalcMessages.h"
#include "calc/CalcVariablesImpl.h"
#include "calc/Symbol.h"
#include "calc/XArith.h"
#include "foundation/COMPtr.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"

namespace CalcParser {

KVD::String FormatSettingsNumber(double value)
{
    std::wostringstream text;
    text.imbue(std::locale::classic());
    text.precision(12);
    text << value;
    return KVD::String(text.str());
}

SymbolRep::SymbolRep() = default;

SymbolRep::SymbolRep(SymType type) : mType(type) {}

SymbolRep::SymbolRep(SymType type, double value)
    : mType(type), mValue(value), mClassId(TypeIdClass<&GUID_ArithEnumObj, 2>::GetId()), mOutputType(kEnumDataSamples)
{
}

SymbolRep::SymbolRep(SymType type, const KVD::String& text)
    : mType(type), mName(text), mTextLength(static_cast<uint32_t>(text.length()))
{
}

SymbolRep::SymbolRep(const SymbolRep& other)
    : COWRefCountBase(other),
      mType(other.mType),
      mName(other.mName),
      mValue(other.mValue),
      mValue2(other.mValue2),
      mEnumIndex(other.mEnumIndex),
      mClassId(other.mClassId),
      mOutputType(other.mOutputType),
      mParser(other.mParser),
      mFuncFlags(other.mFuncFlags),
      mTextLength(other.mTextLength),
      mSrcVariables(other.mSrcVariables ? std::make_unique<RPNArray>(*other.mSrcVariables) : nullptr),
      mFirstArgText(other.mFirstArgText),
      mArgListText(other.mArgListText)
{
}

SymbolRep::~SymbolRep() = default;

SymbolRep& SymbolRep::StaticDefault()
{
    // One reference that no handle owns keeps it alive for the life of the process.
    static SymbolRep* const rep = [] {
        auto* made = new SymbolRep();
        made->AddRefCOW();
        return made;
    }();
    return *rep;
}

SymbolRep* SymbolRep::Clone() const
{
    return new SymbolRep(*this);
}

void SymbolRep::SetEnumOutputDataTypes(KVDEnumDataType type, CAFId classId)
{
    mOutputType = type;
    mClassId = classId;
}

void SymbolRep::SetSourceEnumDataTypes(KVDEnumDataType type)
{
    mOutputType = type;
}

KVD::String SymbolRep::GetSettings() const
{
    return mType == kSymNumber ? FormatSettingsNumber(mValue) : KVD::String();
}

HRESULT SymbolRep::CreateCalcEnum(int32_t index, IUnknown* outer, IUnknown** out, IOrrelData2* data)
{
    return DoCreateCalcEnum(mClassId, index, outer, out, data);
}

void SymbolRep::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int)
{
    Symbol symbol(this);
    stack.Add(symbol.Set());
    rpn.Add(symbol);
}

HRESULT SymbolRep::GetSourceInfo(CalcEnums::CCalcEnumSourceInfo*) const
{
    return KVD_E_BADSTATE;
}

HRESULT SymbolRep::DoCreateCalcEnum(CAFId typeId, int32_t index, IUnknown* outer, IUnknown** out, IOrrelData2* data)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = nullptr;
    if (typeId < kFirstDynamicTypeId)
        return KVD_E_BADSTATE;
    IObjectFactory* factory = ObjectFactoryAccessor::Get();
    if (factory == nullptr)
        return KVD_E_BADSTATE;
    KVD::COMPtr<ICalcEnumClass2> cls;
    HRESULT hr = factory->GetClassObject(typeId, IID_ICalcEnumClass2, cls.Set());
    if (cls != nullptr) {
        hr = cls->CreateEx(outer, data, out);
    } else if (hr == KVD_S_OK) {
        hr = KVD_E_BADSTATE;  // a factory that answers success with nothing has still failed
    }
    if (*out != nullptr) {
        mEnumIndex = index;
        HandOverVariables(*out);
    }
    return hr;
}

HRESULT SymbolRep::HandOverVariables(IUnknown* enumerator) const
{
    if (!mSrcVariables || mSrcVariables->GetCount() == 0)
        return KVD_S_FALSE;
    const KVD::COMPtr<IKVDSetCalcVariables> setter(KVD::com_cast(enumerator));
    if (setter == nullptr)
        return KVD_S_FALSE;  // the enumerator takes no variables: not an error
    IUnknown* inner = nullptr;
    CalcVariable::CalcVariablesImpl* set = CalcVariable::CalcVariablesImpl::CreateAggregated(enumerator, &inner);
    const auto innerHeld = KVD::COMPtr<IUnknown>::Take(inner);
    for (unsigned i = 0; i < mSrcVariables->GetCount(); ++i) {
        if (IKVDCalcVariable* variable = (*mSrcVariables)[i]->GetVariable())
            set->SetItem(variable);
    }
    return setter->SetCalcVariables(0, innerHeld);
}

void SymbolRep::AddSrcVariable(const Symbol& variable)
{
    if (!mSrcVariables)
        mSrcVariables = std::make_unique<RPNArray>(8, 8);
    mSrcVariables->Add(variable);
}

void SymbolRep::Throw(const wchar_t* text) const
{
    Throw(KVD::String(text));
}

void SymbolRep::Throw(const KVD::String& text) const
{
    throw XArith(text, mParser.textPosition, KVD_E_BADSTATE);
}

void SymbolRep::ThrowSourceParamDataEnumTypeError(const wchar_t* paramName, ICalcNumericParamsFuncClass*, long) const
{
    const KVD::String subject = mName.length() != 0 ? mName : Symbol::TypeToString(mType);
    if (paramName != nullptr)
        Throw(FormatCalcText(CalcEnumsStr::IDS_NUMERIC_PARAM_DATATYPEERROR, subject, paramName));
    Throw(FormatCalcText(CalcEnumsStr::IDS_NUMERIC_UNARYFUNC_PARAM_DATATYPEERROR, subject));
}

}  // namespace CalcParser
