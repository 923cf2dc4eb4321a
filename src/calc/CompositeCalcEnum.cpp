#include "calc/CompositeCalcEnum.h"

#include <cstring>
#include <utility>

#include "IEnumEventEx.h"
#include "IEnumShortEx.h"
#include "ICalcEnumClass2.h"
#include "IKVDCalcVariablesAccess.h"
#include "calc/CalcEnumGuids.h"
#include "calc/CalcMessages.h"
#include "calc/FormulaToRPN.h"
#include "calc/Parser.h"
#include "calc/ShortToFloatEnum.h"
#include "calc/SplitterEnum.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/units/UnitEntry.h"

namespace CalcUtil {

RecordChannelTypes ArithSrcDataToCalculatedRecordChannelType(KVDEnumDataType dataType)
{
    switch (dataType) {
    case 0x01000000: return 0x100;
    case 0x08000000: return 0x101;
    case 0x20000000: return 0x801B0003;
    case 0x40000000: return 0x801B0002;
    case 0xC0000000: return 0;
    default: return kRecordChannelSamples;
    }
}

}  // namespace CalcUtil

namespace CalcEnums {
namespace {

using CalcParser::Symbol;
using CalcParser::SymbolRep;

constexpr TChannelId kNoResultChannel = {static_cast<int32_t>(0x80000000), 0xC0000000};

// The NaN a formula that cannot run computes: a quiet NaN the host can tell apart.
double FallbackNaN()
{
    const uint64_t bits = 0x7FF8600000000000ull;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool IsChannelReference(const SymbolRep& rep)
{
    return rep.GetType() == CalcParser::kSymChannel || rep.GetType() == CalcParser::kSymSource;
}

template <class I>
bool Answers(IUnknown* object)
{
    KVD::COMPtr<I> face = KVD::com_cast(object);
    return static_cast<bool>(face);
}

// A stream of its own over a source used more than once.
KVD::COMPtr<IUnknown> CloneOf(IUnknown* source)
{
    KVD::COMPtr<IEnumExBase> stream;
    if (KVD::COMPtr<IEnumFloatEx> floats = KVD::com_cast(source)) {
        floats->Clone(stream.Set());
        return stream;
    }
    if (KVD::COMPtr<IEnumShortEx> shorts = KVD::com_cast(source)) {
        shorts->Clone(stream.Set());
        return stream;
    }
    KVD::COMPtr<ICalcEnum> copy;
    if (KVD::COMPtr<ICalcEnum> calc = KVD::com_cast(source))
        calc->CloneSlave(nullptr, copy.Set());
    return copy;
}

// Whether the host has no enumerator class at all for what the symbol computes.
bool HostLacksClass(const SymbolRep& rep)
{
    IObjectFactory* factory = ObjectFactoryAccessor::Get();
    if (rep.GetClassId() < CalcParser::kFirstDynamicTypeId || factory == nullptr)
        return false;
    KVD::COMPtr<ICalcEnumClass2> cls;
    factory->GetClassObject(rep.GetClassId(), IID_ICalcEnumClass2, cls.Set());
    return cls == nullptr;
}

// Why the symbol has no working enumerator: a function this host does not offer, or one whose
// enumerator could not be made or configured.
KVD::String CreationFailure(const SymbolRep& rep)
{
    if (HostLacksClass(rep))
        return CalcParser::FormatCalcText(CalcEnumsStr::IDS_CALCENUM_NOT_AVAILABLE, rep.GetName());
    KVD::String text(L"Failed to create Calculation Enumerator <");
    text += rep.GetName();
    text += L">.";
    return text;
}

}  // namespace

CompositeCalcEnum::CompositeCalcEnum(ICalcEnumClass2* classObject, IOrrelData2* data)
    : CalcEnumBase64(classObject, data), mResultChannel(kNoResultChannel), mRPN(8, 8)
{
    if (data == nullptr)
        return;
    // The data object keeps both: they are borrowed.
    mChannelInfo = KVD::COMPtr<IKVDChannelInfo, KVD::COMWeak>(KVD::com_cast(data)).get();
    if (const KVD::COMPtr<IKVDCalcVariablesAccess> access = KVD::com_cast(data)) {
        KVD::COMPtr<IKVDCalcVariables, KVD::COMWeak> variables;
        access->GetCalcVariables(0, kNoResultChannel, variables.Set());
        mHostVariables = variables.get();
    }
}

CompositeCalcEnum::CompositeCalcEnum(const CompositeCalcEnum& other)
    : CalcEnumBase64(other),
      CalcVariablesImpl(),
      mChannelInfo(other.mChannelInfo),
      mHostVariables(other.mHostVariables),
      mResultChannel(kNoResultChannel),
      mRPN(other.mRPN),
      mFormula(other.mFormula),
      mRecordChannelType(other.mRecordChannelType)
{
    for (size_t i = 0; i < other.mSubs.size(); ++i) {
        const bool last = i + 1 == other.mSubs.size();
        ICalcEnum* copy = nullptr;
        other.mSubs[i]->CloneSlave(last ? Outer() : nullptr, &copy);
        if (copy == nullptr)
            break;
        if (last) {
            // Aggregated, the copy is handed out as its inner IUnknown.
            mAggregated = KVD::COMPtr<IUnknown>::Take(reinterpret_cast<IUnknown*>(copy));
            AppendAggregated(mAggregated);
        } else {
            mSubs.push_back(copy);
        }
    }
}

CompositeCalcEnum::~CompositeCalcEnum()
{
    ReleaseSources();
    ReleaseSubCalcs();
}

CompositeCalcEnum* CompositeCalcEnum::Copy() const { return new CompositeCalcEnum(*this); }

IUnknown* CompositeCalcEnum::Delegate() const
{
    if (mFallbackRef != nullptr)
        return mFallbackRef.get();
    if (mAggregated != nullptr)
        return mAggregated.get();
    return mPlainOutput.get();
}

HRESULT CompositeCalcEnum::QueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICalcEnum) {
        *out = static_cast<ICalcEnum64*>(this);
    } else if (iid == IID_IKVDCalcVariables) {
        *out = static_cast<IKVDCalcVariables*>(this);
    } else if (iid == IID_IKVDCalcEnumStatus) {
        *out = static_cast<IKVDCalcEnumStatus*>(this);
    } else if (IUnknown* delegate = Delegate()) {
        return delegate->QueryInterface(iid, out);
    } else if (iid == IID_IKVDCompositeCalcEnum) {
        *out = static_cast<IKVDCompositeCalcEnum*>(this);
    } else {
        return KVD_E_NOINTERFACE;
    }
    AddRef();
    return KVD_S_OK;
}

HRESULT CompositeCalcEnum::SetSettings(IAutoKVDString* text, BlockUpdateType* update)
{
    KVD::String dropped;
    return SetSettingsSilent(text, update, dropped);
}

HRESULT CompositeCalcEnum::SetSettingsSilent(IAutoKVDString* text, BlockUpdateType* update, KVD::String& errorText)
{
    mFormula = KVD::String(text);
    if (update != nullptr)
        *update = kUpdateAll;
    mRPN.Erase(0, mRPN.GetCount());

    mParsing = 0xFFFF;
    KVD::String expanded;
    HRESULT code = KVD_E_BADSTATE;
    if (CalcParser::Parser::sDoFunctionExpansions(mFormula, expanded, errorText))
        code = CalcParser::formulaToRPN(expanded, mRPN, mChannelInfo, mResultChannel, mHostVariables, errorText,
                                        nullptr);
    mParsing = 0;

    if (code == KVD_S_OK) {
        code = CreateSubCalcEnums(errorText);
        if (code == KVD_S_OK && mRPN.GetCount() > 0) {
            mSettingsError = KVD::String();
            return KVD_S_OK;
        }
    }
    mSettingsError = errorText;
    // Whatever went wrong, the host still gets a stream to pull: constant NaN.
    ReleaseSubCalcs();
    mRPN.Erase(0, mRPN.GetCount());
    mRPN.Add(Symbol(CalcParser::kSymNumber, FallbackNaN()));
    KVD::String unused;
    CreateSubCalcEnums(unused);
    return code;
}

HRESULT CompositeCalcEnum::GetErrorText(IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_POINTER;
    (mSettingsError.length() > 0 ? mSettingsError : mSourcesError).GetOut(text);
    return KVD_S_OK;
}

HRESULT CompositeCalcEnum::GetSettings(IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_POINTER;
    mFormula.GetOut(text);
    return KVD_S_OK;
}

bool CompositeCalcEnum::AppendAggregated(IUnknown* inner)
{
    const KVD::COMPtr<ICalcEnum, KVD::COMWeak> calc = KVD::com_cast(inner);
    if (calc == nullptr)
        return false;
    mSubs.push_back(calc);
    mLastAggregated = true;
    return true;
}

HRESULT CompositeCalcEnum::CreateSubCalcEnums(KVD::String& errorText)
{
    ReleaseSubCalcs();
    const unsigned count = mRPN.GetCount();
    for (unsigned i = 0; i < count; ++i) {
        SymbolRep* rep = mRPN[i].Set();
        if (IsChannelReference(*rep))
            continue;
        const bool variable = rep->GetType() == CalcParser::kSymVariable;
        if (variable) {
            rep->GetVariable();
            rep->AddVariablesTo(&Variables());
        }
        const int32_t index = static_cast<int32_t>(mSubs.size());
        HRESULT code;
        if (i + 1 < count) {
            KVD::COMPtr<IUnknown> made;
            code = rep->CreateCalcEnum(index, nullptr, made.Set(), Data());
            KVD::COMPtr<ICalcEnum> calc = KVD::com_cast(made);
            if (calc != nullptr)
                mSubs.push_back(calc.Forget());
            else
                code = code != KVD_S_OK ? code : KVD_E_BADSTATE;
        } else {
            code = rep->CreateCalcEnum(index, Outer(), mAggregated.Set(), Data());
            if (mAggregated != nullptr ? !AppendAggregated(mAggregated) : code == KVD_S_OK)
                code = KVD_E_BADSTATE;
        }
        // An enumerator that refuses its settings would compute something else: it fails the
        // formula as a failed creation does.
        if (code == KVD_S_OK && !variable) {
            BlockUpdateType update = 0;
            const HRESULT set = mSubs.back()->SetSettings(rep->GetSettings().AsIAutoKVDString(), &update);
            if (set != KVD_S_OK && set != KVD_S_FALSE)
                code = set;
        }
        if (code != KVD_S_OK) {
            errorText = CreationFailure(*rep);
            return code;
        }
    }
    mRecordChannelType = 0;
    if (!mSubs.empty())
        mSubs.back()->GetRecordChannelType(&mRecordChannelType);
    return KVD_S_OK;
}

void CompositeCalcEnum::ReleaseSubCalcs()
{
    // The aggregated last entry holds no reference of its own: its inner object goes with
    // mAggregated.
    const size_t owned = mLastAggregated ? mSubs.size() - 1 : mSubs.size();
    for (size_t i = 0; i < owned; ++i)
        mSubs[i]->Release();
    mLastAggregated = false;
    mSubs.clear();
    mOutput = nullptr;
    mAggregated.Clear();
    mFallbackRef.Clear();
    mFallback.Clear();
    ReleaseVariables();
}

KVD::COMPtr<IUnitName> CompositeCalcEnum::UnitOf(IUnitName** units, long index) const
{
    if (units != nullptr)
        return KVD::COMPtr<IUnitName>(units[index]);
    return KVD::COMPtr<IUnitName>(new KVD::UnitEntry());
}

HRESULT CompositeCalcEnum::SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                                      CalcEnumFlags flags)
{
    for (long i = 0; i < count && sources != nullptr; ++i)
        mSources.emplace_back(sources[i]);
    mSourcesError = KVD::String();
    HRESULT code = ShareSources(record, count, units, sampling, flags);
    bool malformed = false;
    if (code == KVD_S_OK)
        code = Evaluate(record, count, units, sampling, flags, malformed);
    return Tail(code, malformed);
}

// The first of several uses of a calculation enumerator reads through a splitter, the later
// uses through clones of it.
HRESULT CompositeCalcEnum::ShareSources(int32_t record, long count, IUnitName** units, double sampling,
                                        CalcEnumFlags flags)
{
    HRESULT code = KVD_S_OK;
    for (unsigned i = 0; i < mRPN.GetCount() && code == KVD_S_OK; ++i) {
        if (!IsChannelReference(*mRPN[i].Get()))
            continue;
        const int32_t index = mRPN[i]->GetEnumIndex();
        if (index >= count)
            break;
        const int32_t mode = mRPN[i]->GetSourceUseMode();
        int32_t stream = index;
        if (mode == 2) {
            IUnknown* source = mSources[index].get();
            KVD::COMPtr<ICalcEnum> calc = KVD::com_cast(source);
            CalcInstanceAttributes attributes = 0;
            if (calc)
                calc->GetInstanceAttributes(&attributes);
            if (calc && (attributes & kAttrPrivateStream) == 0 && !Answers<IEnumEventEx>(source) &&
                !Answers<IEnumEventObjectEx>(source)) {
                KVD::COMPtr<ICalcEnum> splitter;
                SplitterEnum::sCreate(splitter.Set());
                KVD::COMPtr<IUnitName> unit = UnitOf(units, index);
                IUnitName* unitArray[] = {unit.get()};
                code = splitter->SetSources(record, 1, &source, unitArray, sampling, flags);
                mSources[index] = splitter;
            }
        } else if (mode != 1) {
            mSources.push_back(CloneOf(mSources[index].get()));
            stream = static_cast<int32_t>(mSources.size()) - 1;
        }
        mRPN[i].Set()->SetStreamIndex(stream);
    }
    return code;
}

HRESULT CompositeCalcEnum::Evaluate(int32_t record, long count, IUnitName** units, double sampling, CalcEnumFlags flags,
                                    bool& malformed)
{
    std::vector<EnumParam> stack;
    for (unsigned i = 0; i < mRPN.GetCount(); ++i) {
        const SymbolRep& rep = *mRPN[i].Get();
        long n = rep.GetNSources();
        if (static_cast<unsigned long>(n) > static_cast<unsigned long>(count))
            n = rep.GetNRequiredSources() < 0 ? rep.GetNSources() : rep.GetNRequiredSources();
        if (n > static_cast<long>(stack.size()))
            return KVD_E_BADSTATE;  // too few operands: the fallback takes over
        if (IsChannelReference(rep)) {
            if (rep.GetEnumIndex() >= count)
                return Unwired(malformed);
            stack.push_back({sampling, mSources[rep.GetStreamIndex()].get(), UnitOf(units, rep.GetEnumIndex())});
            continue;
        }
        if (rep.GetEnumIndex() >= static_cast<int32_t>(mSubs.size()))
            return Unwired(malformed);
        std::vector<EnumParam> params(stack.end() - n, stack.end());
        stack.resize(stack.size() - n);
        ICalcEnum* sub = mSubs[rep.GetEnumIndex()];
        const double subSampling = n > 0 ? params[0].sampling : sampling;
        HRESULT hr = ConnectSub(sub, record, params, subSampling, flags);
        if (hr != KVD_S_OK && hr != KVD_S_FALSE) {
            mSourcesError = CalcParser::FormatCalcText(CalcEnumsStr::IDS_CALCENUM_NOT_CONNECTED, rep.GetName());
            return hr;
        }
        EnumParam result;
        result.sampling = subSampling;
        sub->GetOutputInfo(&result.sampling, result.unit.Set());
        result.stream = sub;
        stack.push_back(std::move(result));
        if (hr == KVD_S_FALSE)
            return hr;
    }
    if (stack.size() != 1) {
        malformed = true;
        return KVD_S_OK;
    }
    if (mAggregated != nullptr && !mSubs.empty())
        mOutput = mSubs.back();
    else
        mPlainOutput = stack.front().stream;
    return KVD_S_OK;
}

// The evaluation stopped at a symbol it cannot wire (an input that was not given): the output
// would be an enumerator without its sources, so the formula counts as malformed.
HRESULT CompositeCalcEnum::Unwired(bool& malformed)
{
    malformed = true;
    return KVD_S_OK;
}

// A one-operand enumerator that refuses a 16-bit source is given it as floats.
HRESULT CompositeCalcEnum::ConnectSub(ICalcEnum* sub, int32_t record, std::vector<EnumParam>& params, double sampling,
                                      CalcEnumFlags flags)
{
    std::vector<IUnknown*> streams;
    std::vector<IUnitName*> units;
    for (EnumParam& param : params) {
        streams.push_back(param.stream);
        units.push_back(param.unit.get());
    }
    const long n = static_cast<long>(params.size());
    HRESULT hr = sub->SetSources(record, n, streams.data(), units.data(), sampling, flags);
    if (hr == KVD_S_OK || hr == KVD_S_FALSE || n != 1 || !Answers<IEnumShortEx>(streams[0]))
        return hr;
    KVD::COMPtr<ICalcEnum> converter;
    ConversionEnums::ShortToFloatEnum::Create(converter.Set());
    mSources.emplace_back(converter);  // kept for as long as the sources
    converter->SetSources(record, 1, streams.data(), units.data(), sampling, flags);
    KVD::COMPtr<IEnumFloatEx> floats = KVD::com_cast(converter);
    IUnknown* converted[] = {floats.get()};
    return sub->SetSources(record, 1, converted, units.data(), sampling, flags);
}

HRESULT CompositeCalcEnum::Tail(HRESULT code, bool malformed)
{
    if (mOutput != nullptr || mPlainOutput)
        return code;
    if (mFallback == nullptr)
        MakeFallback();
    if (mFallback != nullptr) {
        mFallbackRef = mFallback;
        // The query's reference went to the composite itself: the face is borrowed.
        mOutput = KVD::COMPtr<ICalcEnum, KVD::COMWeak>(KVD::com_cast(mFallback)).get();
    }
    if (malformed || code == KVD_S_FALSE || code == KVD_S_OK)
        return KVD_E_BADSTATE;
    return code;
}

void CompositeCalcEnum::MakeFallback()
{
    Symbol nan(CalcParser::kSymNumber, FallbackNaN());
    // Read after the statement that fills it: the pointer takes what came back only then.
    const HRESULT made = nan.GetShared()->CreateCalcEnum(0, Outer(), mFallback.Set(), Data());
    if (made != KVD_S_OK || mFallback == nullptr)
        return;
    if (const KVD::COMPtr<ICalcEnum> calc = KVD::com_cast(mFallback)) {
        BlockUpdateType update = 0;
        calc->SetSettings(nan->GetSettings().AsIAutoKVDString(), &update);
    }
}

HRESULT CompositeCalcEnum::ReleaseSources()
{
    mSources.clear();
    HRESULT kept = KVD_S_OK;
    for (ICalcEnum* sub : mSubs) {
        const HRESULT hr = sub->ReleaseSources();
        if (kept == KVD_S_OK)
            kept = hr;
    }
    mFallbackRef.Clear();
    mOutput = nullptr;
    mPlainOutput.Clear();
    return kept;
}

HRESULT CompositeCalcEnum::SetInitialPosition(int32_t position)
{
    return mOutput != nullptr ? mOutput->SetInitialPosition(position) : KVD_E_BADSTATE;
}

HRESULT CompositeCalcEnum::SetInitialPosition64(int64_t position)
{
    KVD::COMPtr<ICalcEnum64> output = KVD::com_cast(mOutput);
    return output ? output->SetInitialPosition64(position) : KVD_E_BADSTATE;
}

HRESULT CompositeCalcEnum::IsUpdateNeeded(long, BlockUpdateType change, BlockUpdateType* needed)
{
    if (needed == nullptr)
        return KVD_E_POINTER;
    *needed = change != 0 ? kUpdateAll : 0;
    return KVD_S_OK;
}

HRESULT CompositeCalcEnum::ClearCachedData(BlockUpdateType change, KVDPosition from, KVDPosition to,
                                           int32_t firstRecord, int32_t endRecord)
{
    for (ICalcEnum* sub : mSubs)
        sub->ClearCachedData(change, from, to, firstRecord, endRecord);
    return KVD_S_OK;
}

HRESULT CompositeCalcEnum::ReindexCachedData(uint32_t flags, int32_t from, int32_t to)
{
    for (ICalcEnum* sub : mSubs)
        sub->ReindexCachedData(flags, from, to);
    return KVD_S_OK;
}

HRESULT CompositeCalcEnum::GetOutputInfo(double* sampling, IUnitName** unit)
{
    return mSubs.empty() ? KVD_S_FALSE : mSubs.back()->GetOutputInfo(sampling, unit);
}

HRESULT CompositeCalcEnum::GetInstanceAttributes(CalcInstanceAttributes* attributes)
{
    if (attributes == nullptr)
        return KVD_E_POINTER;
    uint32_t low = 0xFFFF;
    uint32_t high = 0;
    for (ICalcEnum* sub : mSubs) {
        CalcInstanceAttributes own = 0;
        if (sub->GetInstanceAttributes(&own) != KVD_S_OK)
            own = 0;
        low &= own & 0xFFFF;
        high |= own & 0xFFFF0000u;
    }
    *attributes = high | low;
    return KVD_S_OK;
}

HRESULT CompositeCalcEnum::GetRecordChannelType(RecordChannelTypes* type)
{
    if (type == nullptr)
        return KVD_E_POINTER;
    *type = mRecordChannelType;
    if (mParsing == 0 && mRecordChannelType == 0 && mRPN.GetCount() == 1 &&
        mRPN[0].GetType() == CalcParser::kSymChannel && mChannelInfo != nullptr) {
        TChannelId channel = mRPN[0]->GetChannelId();
        if (mAsking != 0)
            channel.blockDataType = (channel.blockDataType & 0xBFFFFF00u) | 1u;  // asked again while asking
        mAsking = 0xFFFF;
        KVDEnumDataType dataType = 0;
        mChannelInfo->GetChannelDataType(0, channel, &dataType, 0, mResultChannel);
        *type = CalcUtil::ArithSrcDataToCalculatedRecordChannelType(dataType);
        mAsking = 0;
    }
    return KVD_S_OK;
}

HRESULT CompositeCalcEnum::GetTickToSample(TTickToSample* map)
{
    return mOutput != nullptr ? mOutput->GetTickToSample(map) : KVD_E_NOTIMPL;
}

HRESULT CompositeCalcEnum::Next(uint32_t, float*, uint32_t* delivered)
{
    if (delivered != nullptr)
        *delivered = 0;
    return KVD_E_NOTIMPL;
}

HRESULT CompositeCalcEnum::SkipEx(int32_t, int32_t* skipped)
{
    if (skipped != nullptr)
        *skipped = 0;
    return KVD_E_NOTIMPL;
}

HRESULT CompositeCalcEnum::GetPosition(int32_t*) { return KVD_E_NOTIMPL; }

HRESULT CompositeCalcEnum::IsFilling(AutoBool*) { return KVD_E_NOTIMPL; }

HRESULT CompositeCalcEnum::Clone(IEnumExBase** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = Copy()->StreamFace();
    return KVD_S_OK;
}

HRESULT CompositeCalcEnum::CloneSlave(IUnknown*, ICalcEnum** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = Copy()->CalcFace();
    return KVD_S_OK;
}

HRESULT CompositeCalcEnum::SetResultChan(uint32_t, TChannelId channel)
{
    mResultChannel = channel;
    return KVD_S_OK;
}

}  // namespace CalcEnums
