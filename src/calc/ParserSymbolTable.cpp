// The built-in names of the formula language and the functions that class objects publish:
// the process-wide symbol table, built once, completely, by the first parser.
#include <atomic>
#include <mutex>

#include "ICalcNumericParamsFuncClass.h"
#include "calc/CalcEnumGuids.h"
#include "calc/FilterBase.h"
#include "calc/FormulaText.h"
#include "calc/Integrators.h"
#include "calc/NumericParamsFuncClassSymbolRep.h"
#include "calc/NumericParamsFunctions.h"
#include "calc/Parser.h"
#include "calc/StdUnaryFunc.h"
#include "calc/Train.h"
#include "calc/WaveformGenerators.h"
#include "calc/Window.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/InterfaceArray.h"

namespace CAF {

// The class objects of a category that offer the container's interface, in the factory's
// order, each with one reference held by the container. No factory or no enumerator gives
// none.
template <class Container, class I>
void FillContainerWithClassObjects(const _IID* category, Container& out)
{
    IObjectFactory* factory = ObjectFactoryAccessor::Get();
    if (factory == nullptr)
        return;
    KVD::COMPtr<IEnumClassObjects> objects;
    factory->EnumClassObjectsInCategory(category, objects.Set());
    if (objects == nullptr)
        return;
    for (;;) {
        KVD::COMPtr<ICAFClassObject> object;
        uint32_t delivered = 0;
        const HRESULT hr = objects->Next(1, object.Set(), &delivered);
        if (hr != 0 || object == nullptr)
            break;
        if (const KVD::COMPtr<I> wanted{KVD::com_cast(object)})
            out.Add(wanted);
    }
}

}  // namespace CAF

namespace CalcParser {
namespace {

using Table = Parser::SymbolTable;

void Insert(Table& table, const wchar_t* key, const Symbol& prototype)
{
    table.InsertIfAbsent(KVD::String(key), prototype);
}

void InsertChannelsAndOperators(Table& table)
{
    const Symbol channel(static_cast<BlockDataType>(0x40001000));
    Insert(table, L"ch", channel);
    Insert(table, L"channel", channel);
    Insert(table, L"rch", Symbol(static_cast<BlockDataType>(0x1001)));
    Insert(table, L"$src", Symbol(Symbol::CreateRepFromType(kSymSource)));
    Insert(table, L"mod", Symbol(Symbol::CreateRepFromType(kSymMod)));
    Insert(table, L"atan2", Symbol(Symbol::CreateRepFromType(kSymAtan2)));
    Insert(table, L"threshold", Symbol(Symbol::CreateRepFromType(kSymThreshold)));
    Insert(table, L"window", Symbol(new Window));
}

void InsertMathematicalFunctions(Table& table)
{
    static const struct {
        const wchar_t* key;
        StdFuncType function;
    } kFunctions[] = {
        {L"sin", kFuncSin},     {L"cos", kFuncCos},           {L"tan", kFuncTan},           {L"asin", kFuncAsin},
        {L"acos", kFuncAcos},   {L"atan", kFuncAtan},         {L"log", kFuncLog},           {L"ln", kFuncLog},
        {L"log10", kFuncLog10}, {L"exp", kFuncExp},           {L"sign", kFuncSign},         {L"sqrt", kFuncSqrt},
        {L"abs", kFuncAbs},     {L"degtorad", kFuncDegToRad}, {L"radtodeg", kFuncRadToDeg}, {L"round", kFuncRound},
        {L"int", kFuncInt},     {L"conj", kFuncConj},         {L"arg", kFuncArg},           {L"norm", kFuncNorm},
        {L"real", kFuncReal},   {L"imag", kFuncImag},
    };
    for (const auto& entry : kFunctions)
        Insert(table, entry.key, Symbol(new StdUnaryFunc(entry.function)));
    Insert(table, L"pi", Symbol(kSymNumber, 3.141592653589793));
}

void InsertSignalFunctions(Table& table)
{
    const Symbol sampleTime(new SampleTime);
    Insert(table, L"sampletime", sampleTime);
    Insert(table, L"t", sampleTime);
    const Symbol count(new Count);
    Insert(table, L"segrepcount", count);
    Insert(table, L"srcount", count);
    Insert(table, L"block", Symbol(new Block));
    const Symbol sampleRate(new SampleRate);
    Insert(table, L"samplerate", sampleRate);
    Insert(table, L"fs", sampleRate);
    Insert(table, L"random", Symbol(new Random));
    Insert(table, L"gaussian", Symbol(new Gaussian));
    Insert(table, L"smooth", Symbol(new Smooth));
    Insert(table, L"shift", Symbol(new Shift));
    const Symbol diff(new Diff);
    Insert(table, L"diff", diff);
    Insert(table, L"differentiate", diff);
    Insert(table, L"derivative", diff);
}

void InsertIntegrators(Table& table)
{
    const CAFId integral = TypeIdClass<&GUID_IntegralCalcEnumObj, 0>::GetId();
    const CAFId legacy = TypeIdClass<&GUID_LegacyIntegralCalcEnumObj, 0>::GetId();
    static const struct {
        const wchar_t* key;
        const wchar_t* name;
        IntegralSettings::IntegralType type;
        bool legacy;
    } kIntegrators[] = {
        {L"integrate", L"Integrate", IntegralSettings::kStandard, false},
        {L"integrateabs", L"IntegrateAbs", IntegralSettings::kAbsolute, false},
        {L"integratepos", L"IntegratePos", IntegralSettings::kPositive, false},
        {L"integrateneg", L"IntegrateNeg", IntegralSettings::kNegative, false},
        {L"integral", L"Integrate", IntegralSettings::kStandard, false},
        {L"legacyintegrate", L"LegacyIntegrate", IntegralSettings::kStandard, true},
        {L"legacyintegrateabs", L"LegacyIntegrateAbs", IntegralSettings::kAbsolute, true},
        {L"legacyintegratepos", L"LegacyIntegratePos", IntegralSettings::kPositive, true},
        {L"legacyintegrateneg", L"LegacyIntegrateNeg", IntegralSettings::kNegative, true},
    };
    for (const auto& entry : kIntegrators) {
        SymbolRep* rep = entry.legacy ? new LegacyIntegrateBase(entry.name, legacy, 9, 1, entry.type)
                                      : new IntegrateBase(entry.name, integral, 9, 1, entry.type);
        Insert(table, entry.key, Symbol(rep));
    }
}

template <class Generator, unsigned SubId>
Symbol MakeGenerator(const wchar_t* name, int maxArgs, int minArgs)
{
    return Symbol(new Generator(name, TypeIdClass<&GUID_SynthCalcEnumObj, SubId>::GetId(), maxArgs, minArgs));
}

void InsertWaveformGenerators(Table& table)
{
    Insert(table, L"train", MakeGenerator<Train, 0>(L"Train", 98, 3));
    Insert(table, L"sinewave", MakeGenerator<SineWave, 1>(L"SineWave", 4, 0));
    Insert(table, L"trianglewave", MakeGenerator<TriangleWave, 4>(L"TriangleWave", 5, 0));
    Insert(table, L"doublepulse", MakeGenerator<DoublePulse, 6>(L"DoublePulse", 8, 0));
    Insert(table, L"pulse", MakeGenerator<Pulse, 5>(L"Pulse", 5, 0));
    Insert(table, L"triangle", MakeGenerator<TrianglePulse, 8>(L"Triangle", 5, 0));
    Insert(table, L"steppulse", MakeGenerator<StepPulse, 2>(L"StepPulse", 8, 0));
    Insert(table, L"biphasicpulse", MakeGenerator<BiphasicPulse, 7>(L"BiphasicPulse", 5, 0));
    Insert(table, L"ramp", MakeGenerator<Ramp, 3>(L"Ramp", 6, 0));
}

void InsertFilters(Table& table)
{
    const CAFId filter = TypeIdClass<&GUID_FilterCalcEnumObj, 0>::GetId();
    const Symbol lowpass(new FilterBase(L"Lowpass", filter, 3, 2, RateEnums::kLowpass, 0));
    const Symbol highpass(new FilterBase(L"Highpass", filter, 3, 2, RateEnums::kHighpass, 0));
    const Symbol notch(new FilterBase(L"Notch", filter, 3, 2, RateEnums::kNotch, 0));
    const Symbol narrow(new FilterBase(L"NarrowBandpass", filter, 3, 2, RateEnums::kNarrowBandpass, 0));
    const Symbol bandpass(new FilterBase(L"Bandpass", filter, 5, 3, RateEnums::kBandpass, 0));
    const Symbol bandstop(new FilterBase(L"Bandstop", filter, 5, 3, RateEnums::kBandstop, 0));
    const Symbol decimator(new FilterBase(L"Decimator", TypeIdClass<&GUID_FilterCalcEnumObj, 1>::GetId(), 5, 2,
                                          RateEnums::kDecimator, 0x10000000));
    Insert(table, L"lpf", lowpass);
    Insert(table, L"hpf", highpass);
    Insert(table, L"notch", notch);
    Insert(table, L"nbpf", narrow);
    Insert(table, L"bpf", bandpass);
    Insert(table, L"bsf", bandstop);
    Insert(table, L"lowpass", lowpass);
    Insert(table, L"highpass", highpass);
    Insert(table, L"notch", notch);
    Insert(table, L"narrowbandpass", narrow);
    Insert(table, L"bandpass", bandpass);
    Insert(table, L"bandstop", bandstop);
    Insert(table, L"decimator", decimator);
}

void InsertRateFunctions(Table& table)
{
    Insert(table, L"interp", Symbol(new StepInterpolator));
    Insert(table, L"resample", Symbol(new Resample));
    Insert(table, L"energy", Symbol(new EnergySymbol));
    Insert(table, L"mainsfilterex", Symbol(new MainsFilterExSymbol));
}

// Under its name and each alias; with flag bit 31 each alias gets a description of its own,
// whose index leads its settings.
void InsertPublishedFunction(Table& table, ICalcNumericParamsFuncClass* functionClass)
{
    auto* main = new NumericParamsFuncClassSymbolRep(functionClass, -1);
    const Symbol prototype(main);
    if (main->GetInfoResult() != 0)
        return;
    table.InsertIfAbsent(LowerFormulaText(main->GetName()), prototype);
    long aliases = 0;
    functionClass->GetNumberOfAliases(&aliases);
    const bool ownDescriptions = (main->GetFuncFlags() & 0x80000000) != 0;
    for (int i = 0; i < aliases; ++i) {
        const KVD::String alias = LowerFormulaText(main->GetAlias(i));
        table.InsertIfAbsent(alias, ownDescriptions ? Symbol(new NumericParamsFuncClassSymbolRep(functionClass, i))
                                                    : prototype);
    }
}

void InsertPublishedFunctions(Table& table)
{
    InterfaceArray<ICalcNumericParamsFuncClass> classes(8);
    CAF::FillContainerWithClassObjects<InterfaceArray<ICalcNumericParamsFuncClass>, ICalcNumericParamsFuncClass>(
        &CATID_CALCENUMS, classes);
    for (unsigned i = 0; i < classes.GetCount(); ++i)
        InsertPublishedFunction(table, classes[i]);
}

}  // namespace

Parser::SymbolTable Parser::sNameToSymbol(kSymbolTableBuckets, kSymbolTableGrowth);

// A built-in name wins over a published one, an earlier class object over a later one, and a
// function's name over its own aliases: only absent keys are inserted.
void Parser::sInitNameToSymbolTable()
{
    static std::atomic<bool> built{false};
    static std::mutex lock;
    if (built.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::mutex> guard(lock);
    if (sNameToSymbol.GetCount() != 0)
        return;
    try {
        InsertChannelsAndOperators(sNameToSymbol);
        InsertMathematicalFunctions(sNameToSymbol);
        InsertSignalFunctions(sNameToSymbol);
        InsertIntegrators(sNameToSymbol);
        InsertWaveformGenerators(sNameToSymbol);
        InsertFilters(sNameToSymbol);
        InsertRateFunctions(sNameToSymbol);
        InsertPublishedFunctions(sNameToSymbol);
    } catch (...) {
        sNameToSymbol.Flush();  // a failed build leaves no half table
        throw;
    }
    built.store(true, std::memory_order_release);
}

}  // namespace CalcParser
