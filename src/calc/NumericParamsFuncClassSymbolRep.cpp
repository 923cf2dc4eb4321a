#include "calc/NumericParamsFuncClassSymbolRep.h"

#include <string>

#include "calc/CalcMessages.h"
#include "calc/FormulaText.h"
#include "calc/RPNOps.h"

namespace CalcParser {
namespace {

constexpr CalcNPFuncInfoFlags kAliasIndexFirst = 0x80000000;
constexpr CalcNPFuncInfoFlags kFirstArgumentFirst = 0x40000000;
constexpr CalcNPFuncInfoFlags kArgumentListFirst = 0x20000000;

// Lower-cased without white space; a section in double quotes is copied as it is.
KVD::String LowerWithoutSpace(const KVD::String& text)
{
    std::wstring result;
    bool quoted = false;
    for (unsigned i = 0; i < text.length(); ++i) {
        const wchar_t c = text[i];
        if (c == L'"')
            quoted = !quoted;
        if (quoted || c == L'"')
            result += c;
        else if (!IsFormulaSpace(c))
            result += LowerFormulaChar(c);
    }
    return KVD::String(result);
}

}  // namespace

NumericParamsFuncClassSymbolRep::NumericParamsFuncClassSymbolRep(ICalcNumericParamsFuncClass* functionClass,
                                                                 int index)
    : NumericParamsFuncRep(KVD::String(), 0, 0, 0, 0, -1), mClass(functionClass), mAliasIndex(index)
{
    mInfoResult = ReadDescription();
}

NumericParamsFuncClassSymbolRep::NumericParamsFuncClassSymbolRep(const NumericParamsFuncClassSymbolRep& other)
    : NumericParamsFuncRep(other), mClass(other.mClass), mInfoResult(other.mInfoResult),
      mAliasIndex(other.mAliasIndex)
{
}

NumericParamsFuncClassSymbolRep::~NumericParamsFuncClassSymbolRep() = default;

// Through the extended interface when offered, which also tells the required sources.
HRESULT NumericParamsFuncClassSymbolRep::ReadDescription()
{
    KVD::String name;
    TCAFId typeId = 0;
    CalcNPFuncInfoFlags flags = 0;
    KVDEnumDataType kind = 0;
    HRESULT result;
    const KVD::COMPtr<ICalcNumericParamsFuncClassEx> extended(KVD::com_cast(mClass));
    if (extended != nullptr) {
        result = extended->GetFuncInfoEx(0, KVD::String::Setter(name), &typeId, &mMaxArgs, &mSources, &flags,
                                         &mRequiredSources, &kind);
    } else {
        mRequiredSources = -1;
        result = mClass->GetFuncInfo(KVD::String::Setter(name), &typeId, &mMaxArgs, &mSources, &flags, &kind);
    }
    SetName(name);
    SetEnumOutputDataTypes(kind, typeId);
    SetFuncFlags(flags);
    return result;
}

KVD::String NumericParamsFuncClassSymbolRep::GetAlias(int index) const
{
    KVD::String alias;
    mClass->GetAlias(index, KVD::String::Setter(alias));
    return alias;
}

void NumericParamsFuncClassSymbolRep::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount)
{
    DoCheckOptimisePush(rpn, stack, static_cast<long>(argCount));
}

long NumericParamsFuncClassSymbolRep::SourcesUsed(long argCount) const
{
    if (mRequiredSources == -1)
        return mSources;
    return std::min(std::max(argCount, mRequiredSources), mSources);
}

KVD::String NumericParamsFuncClassSymbolRep::ParamName(long index, KVDEnumDataType* kind) const
{
    KVD::String name;
    mClass->GetParamInfo(index, nullptr, nullptr, kind, KVD::String::Setter(name));
    return name;
}

void NumericParamsFuncClassSymbolRep::DoCheckOptimisePush(RPNArray& rpn, RepStack& stack, long argCount)
{
    mSettings = KVD::String();
    const long sources = SourcesUsed(argCount);
    if (argCount < sources || Count(stack) < sources || argCount > mMaxArgs || Count(stack) < argCount)
        ThrowSourceNumberError();
    for (long index = argCount - 1; index >= sources; --index) {
        double upper = 0;
        double lower = 0;
        KVD::String name;
        if (mClass->GetParamInfo(index, &upper, &lower, nullptr, KVD::String::Setter(name)) != 0)
            ThrowSourceNumberError();
        TakeNumericParam(rpn, stack, name, CalcEnums::Range{lower, upper});
    }
    for (long index = sources - 1; index >= 0; --index) {
        CheckSource(stack, index);
        Pop(stack, 1);
    }
    PrependArgumentTexts();
    SymbolRep::CheckOptimisePush(rpn, stack, static_cast<int>(argCount));
}

// The class decides which data kinds a source may have; a source of open kind takes the kind
// the class declares.
void NumericParamsFuncClassSymbolRep::CheckSource(const RepStack& stack, long index)
{
    KVDEnumDataType declared = 0;
    const KVD::String name = ParamName(index, &declared);
    SymbolRep* source = StackEntry(stack, 1);
    if (!IsStreamRep(source))
        ThrowSourceParamTypeError(name);
    const KVDEnumDataType kind = source->GetOutputDataType();
    // The stack holds the RPN's own (private) representations: they are changed in place.
    if (kind == 0) {
        source->SetSourceEnumDataTypes(declared);
        return;
    }
    if (mClass->IsValidParamDataType(index, kind) != 0)
        ThrowSourceParamDataEnumTypeError(name.c_str(), mClass, index);
    if (source->GetType() == kSymChannel || source->GetType() == kSymSource)
        source->SetSourceEnumDataTypes(declared);
}

// In the end the settings begin with the argument list's text, then the first argument's
// text, then the alias index, then the numeric parameters, as the flags ask.
void NumericParamsFuncClassSymbolRep::PrependArgumentTexts()
{
    const CalcNPFuncInfoFlags flags = GetFuncFlags();
    if (flags & kAliasIndexFirst)
        PrependSetting(KVD::String(std::to_wstring(mAliasIndex)));
    if (flags & kFirstArgumentFirst) {
        const KVD::String& first = GetFirstArgText();
        const bool namesSource = std::wstring_view(first.c_str(), first.length()).find(L"$src") != std::wstring_view::npos;
        PrependSetting(namesSource ? KVD::String(L"$$unknown") : LowerWithoutSpace(first));
    }
    if (flags & kArgumentListFirst)
        PrependSetting(LowerWithoutSpace(GetArgListText()));
}

void NumericParamsFuncClassSymbolRep::ThrowSourceNumberError() const
{
    KVD::String list;
    for (long index = 0; index < mMaxArgs; ++index) {
        if (index > 0)
            list += ListSeparator();
        list += ParamName(index, nullptr);
    }
    NumericParamsFuncRep::ThrowSourceNumberError(list);
}

}  // namespace CalcParser
