#include "host/calc/HostCalcClasses.h"

#include "calc/CalcEnumClassBase2.h"
#include "calc/CalcEnumGuids.h"
#include "host/calc/ArithGeneratorEnum.h"
#include "host/calc/ArithOperatorEnums.h"
#include "host/calc/CalcVariableClass.h"

namespace HostCalc {
namespace {

using CalcEnums::CalcEnumClass2;
using CalcEnums::CalcEnumClassBase2;
using CalcParser::GUID_ArithEnumObj;
using Generator = ArithGeneratorEnum;

template <class T>
struct ArithClass {
    ArithClass(const wchar_t* name, uint32_t subId) : traits{name, name, &GUID_ArithEnumObj, subId}, object(&traits) {}

    CalcEnumClassBase2::Traits traits;
    CalcEnumClass2<T> object;
};

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

void RegisterCalcClasses(IObjectFactory& factory)
{
    Classes& c = TheClasses();
    ICalcEnumClass2* enumerators[] = {&c.binary.object,     &c.unary.object,          &c.constant.object,
                                      &c.sampleTime.object, &c.stdFunc.object,        &c.random.object,
                                      &c.gaussian.object,   &c.window.object,         &c.windowConstant.object,
                                      &c.sampleRate.object, &c.segRepCount.object,    &c.block.object};
    for (ICalcEnumClass2* cls : enumerators)
        factory.RegisterClassObject(cls);
    factory.RegisterClassObject(&c.numberVariable);
    factory.RegisterClassObject(&c.expressionVariable);
}

}  // namespace HostCalc
