// The polymorphic, copy-on-write representation behind every element of a compiled formula:
// what the element is, how the parser pushes it, which calculation-enumerator class computes
// it and which settings text that enumerator receives.
#pragma once

#include <memory>

#include "CalcEnumTypes.h"
#include "IKVDCalcVariable.h"
#include "IOrrelData2.h"
#include "ResultCodes.h"
#include "calc/CCalcEnumSourceInfo.h"
#include "calc/COWHandle.h"
#include "calc/RPN.h"
#include "calc/SymType.h"
#include "foundation/KVDString.h"

struct ICalcNumericParamsFuncClass;
template <class I, class Less, class Equal>
class SortedInterfaceArray;

namespace CalcVariable {
struct LessCO;
struct EqualCO;
}  // namespace CalcVariable

namespace CalcParser {

using CalcVariableArray = SortedInterfaceArray<IKVDCalcVariable, CalcVariable::LessCO, CalcVariable::EqualCO>;
// Flags of a function published by a host class object.
typedef uint32_t CalcNPFuncInfoFlags;

// The no-channel id: channel 0x80000000 with the flag word 0xC0000000.
constexpr TChannelId kNoChannel = {static_cast<int32_t>(0x80000000), 0xC0000000};
constexpr int32_t kNoChannelNumber = static_cast<int32_t>(0x80000000);

class SymbolRep : public COWRefCountBase {
public:
    SymbolRep();
    explicit SymbolRep(SymType type);
    // A constant: computed by the arithmetic enumerator's constant class.
    SymbolRep(SymType type, double value);
    // A named symbol; the text is shared, its length kept.
    SymbolRep(SymType type, const KVD::String& text);
    SymbolRep(const SymbolRep& other);
    SymbolRep& operator=(const SymbolRep&) = delete;

    // The representation of every default symbol (kind End); never deleted.
    static SymbolRep& StaticDefault();

    virtual SymbolRep* Clone() const;
    ~SymbolRep() override;
    virtual void SetEnumOutputDataTypes(KVDEnumDataType type, CAFId classId);
    virtual void SetSourceEnumDataTypes(KVDEnumDataType type);
    // The settings text of the sub enumerator: a number's value, else empty.
    virtual KVD::String GetSettings() const;
    virtual long GetNSources() const { return 0; }
    // -1: every source is required.
    virtual long GetNRequiredSources() const { return -1; }
    virtual HRESULT CreateCalcEnum(int32_t index, IUnknown* outer, IUnknown** out, IOrrelData2* data);
    // Appends a private copy of the rep to the stack and its symbol to the RPN; never folds.
    virtual void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int nArgs);
    virtual void SetChannel(int32_t) {}
    virtual int32_t GetChannel() const { return -1; }
    virtual TChannelId GetChannelId() const { return kNoChannel; }
    // 0xF800400A and the record untouched, except for channel reps.
    virtual HRESULT GetSourceInfo(CalcEnums::CCalcEnumSourceInfo* info) const;
    virtual IKVDCalcVariable* GetVariable() const { return nullptr; }
    virtual void AddVariablesTo(CalcVariableArray*) const {}
    virtual bool IsVariableRep() const { return false; }

    // Has the host's class of typeId create the enumerator aggregated in outer; hands it the
    // rep's source variables. Never throws.
    HRESULT DoCreateCalcEnum(CAFId typeId, int32_t index, IUnknown* outer, IUnknown** out, IOrrelData2* data);

    // Throws XArith with the text at this rep's text position (code 0xF800400A).
    [[noreturn]] void Throw(const wchar_t* text) const;
    [[noreturn]] void Throw(const KVD::String& text) const;
    // The data-kind error of a function's argument; paramName null for a one-operand function.
    [[noreturn]] void ThrowSourceParamDataEnumTypeError(const wchar_t* paramName,
                                                        ICalcNumericParamsFuncClass* funcClass, long index) const;

    SymType GetType() const { return mType; }
    const KVD::String& GetName() const { return mName; }
    void SetName(const KVD::String& name) { mName = name; }
    double GetValue() const { return mValue; }
    void SetValue(double value) { mValue = value; }
    double GetValue2() const { return mValue2; }
    void SetValue2(double value) { mValue2 = value; }
    int32_t GetEnumIndex() const { return mEnumIndex; }
    void SetEnumIndex(int32_t index) { mEnumIndex = index; }
    CAFId GetClassId() const { return mClassId; }
    KVDEnumDataType GetOutputDataType() const { return mOutputType; }
    // 1 a source read once, 2 the first of several uses, 3 a later use.
    int32_t GetSourceUseMode() const { return mParser.sourceUseMode; }
    void SetSourceUseMode(int32_t mode) { mParser.sourceUseMode = mode; }
    int32_t GetStreamIndex() const { return mParser.streamIndex; }
    void SetStreamIndex(int32_t index) { mParser.streamIndex = index; }
    int64_t GetTextPosition() const { return mParser.textPosition; }
    void SetTextPosition(int64_t position) { mParser.textPosition = position; }
    CalcNPFuncInfoFlags GetFuncFlags() const { return mFuncFlags; }
    void SetFuncFlags(CalcNPFuncInfoFlags flags) { mFuncFlags = flags; }
    uint32_t GetTextLength() const { return mTextLength; }
    // The text of a call's first argument and of its whole argument list, as written.
    const KVD::String& GetFirstArgText() const { return mFirstArgText; }
    void SetFirstArgText(const KVD::String& text) { mFirstArgText = text; }
    const KVD::String& GetArgListText() const { return mArgListText; }
    void SetArgListText(const KVD::String& text) { mArgListText = text; }

    // The variables whose values the created enumerator must see.
    void AddSrcVariable(const Symbol& variable);
    const RPNArray* GetSrcVariables() const { return mSrcVariables.get(); }

protected:
    void SetClassId(CAFId id) { mClassId = id; }
    void SetOutputDataType(KVDEnumDataType type) { mOutputType = type; }

private:
    // What the parser records about a symbol; copied with the rep.
    struct ParserState {
        int32_t sourceUseMode = 0;
        int32_t streamIndex = 0;
        int64_t textPosition = 0;
    };

    HRESULT HandOverVariables(IUnknown* enumerator) const;

    SymType mType = kSymEnd;
    KVD::String mName;
    double mValue = 0.0;
    double mValue2 = 0.0;
    int32_t mEnumIndex = 0;
    CAFId mClassId = 0;
    KVDEnumDataType mOutputType = 0;
    ParserState mParser;
    CalcNPFuncInfoFlags mFuncFlags = 0;
    uint32_t mTextLength = 0;
    std::unique_ptr<RPNArray> mSrcVariables;
    KVD::String mFirstArgText;
    KVD::String mArgListText;
};

// Numbers in settings texts: the classic locale, general notation, 12 significant digits.
KVD::String FormatSettingsNumber(double value);

}  // namespace CalcParser
