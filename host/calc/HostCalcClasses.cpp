#include "host/calc/HostCalcClasses.h"

#include "calc/CalcEnumClassBase2.h"
#include "CompositeCalcEnumClass.h"
#include "calc/CalcEnumGuids.h"
#include "calc/CompositeCalcEnum.h"
#include "host/calc/ArithGeneratorEnum.h"
#include "host/calc/ArithOperatorEnums.h"
#include "host/calc/CalcVariableClass.h"
#include "host/calc/DecimateSecEnum.h"
#include "host/calc/EventInterpEnum.h"

namespace HostCalc {
namespace {

using CalcEnums::CalcEnumClass2;
using CalcEnums::CalcEnumClassBase2;
using CalcParser::GUID_ArithEnumObj;
using Generator = ArithGeneratorEnum;

// The enumerator classes of the published functions. Their type ids are their own, not the
// functions' class objects': a registration of every class object of the process (as the
// plug-in's registration does in its own copy) must not replace a function's description.
// 1C3F8C9B-1D1A-4FC1-B128-156A89D96B0F
inline constexpr _IID GUID_HostFunctionEnumerators = {0x1C3F8C9B, 0x1D1A, 0x4FC1, {0xB1, 0x28, 0x15, 0x6A, 0x89, 0xD9, 0x6B, 0x0F}};

template <class T>
struct HostClass {
    HostClass(const wchar_t* name, uint32_t subId, const _IID* guid = &GUID_ArithEnumObj)
        : traits{name, name, guid, subId}, object(&traits)
    {
    }

    CalcEnumClassBase2::Traits traits;
    CalcEnumClass2<T> object;
};

template <class T>
using ArithClass = HostClass<T>;

struct Classes {
    ArithClass<ArithBinaryEnum> binary{L"Arithmetic Operator", 0};
    ArithClass<ArithUnaryEnum> unary{L"Arithmetic Operator With Constant", 1};
    ArithClass<ArithGeneratorEnumOf<Generator::kConstant>> constant{L"Constant", Generator::kConstant};
    ArithClass<ArithGeneratorEnumOf<Generator::kSampleTime>> sampleTime{L"SampleTime", Generator::kSampleTime};
    ArithClass<ArithStdFuncEnum> stdFunc{L"Standard Function", 4};
    ArithClass<ArithGeneratorEnumOf<Generator::kRandom>> random{L"Random", Generator::kRandom};
    ArithClass<ArithGeneratorEnumOf<Generator::kGaussian>> gaussian{L"Gaussian", Generator::kGaussian};
    ArithClass<ArithWindowEnum> window{L"Window", 7};
    ArithClass<ArithWindowUnaryEnum> windowConstant{L"Window With Constant Bounds", 8};
    ArithClass<ArithGeneratorEnumOf<Generator::kSampleRate>> sampleRate{L"SampleRate", Generator::kSampleRate};
    ArithClass<ArithGeneratorEnumOf<Generator::kSegRepCount>> segRepCount{L"SegRepCount", Generator::kSegRepCount};
    ArithClass<ArithGeneratorEnumOf<Generator::kBlock>> block{L"Block", Generator::kBlock};
    HostClass<CalcEnums::CompositeCalcEnum> composite{L"Composite Calculation", 0, &GUID_CompositeCalcEnumObj};
    HostClass<DecimateSecEnum> decimateSec{L"DecimateSec", 0, &GUID_HostFunctionEnumerators};
    HostClass<EventInterpEnum> eventInterp{L"EventInterp", 1, &GUID_HostFunctionEnumerators};
    CalcVariableClass numberVariable{false};
    CalcVariableClass expressionVariable{true};
};

// Made on first use, after the host's framework exists; never destroyed, since the factory
// and the enumerators keep pointers to the class objects.
Classes& TheClasses()
{
    static Classes* classes = new Classes;
    return *classes;
}

}  // namespace

ICalcEnumClass2* ConstantClass() { return &TheClasses().constant.object; }
ICalcEnumClass2* DecimateSecClass() { return &TheClasses().decimateSec.object; }
ICalcEnumClass2* EventInterpClass() { return &TheClasses().eventInterp.object; }

void RegisterCalcClasses(IObjectFactory& factory)
{
    Classes& c = TheClasses();
    ICalcEnumClass2* enumerators[] = {&c.binary.object,     &c.unary.object,          &c.constant.object,
                                      &c.sampleTime.object, &c.stdFunc.object,        &c.random.object,
                                      &c.gaussian.object,   &c.window.object,         &c.windowConstant.object,
                                      &c.sampleRate.object, &c.segRepCount.object,    &c.block.object,
                                      &c.composite.object};
    for (ICalcEnumClass2* cls : enumerators)
        factory.RegisterClassObject(cls);
    factory.RegisterClassObject(&c.numberVariable);
    factory.RegisterClassObject(&c.expressionVariable);
}

}  // namespace HostCalc
