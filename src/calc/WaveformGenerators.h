// The waveform generators: functions whose arguments are all optional numbers (or streams
// that modulate them), read in order into the settings text of the host's synthesiser.
#pragma once

#include "calc/FuncRepEx.h"

namespace CalcParser {

struct WaveformParam {
    const wchar_t* name;
    CalcEnums::Range range;
};

// A generator described by Derived::sParams (sParamCount entries) and Derived::sUsage.
template <class Derived>
class WaveformGenerator : public FuncRepEx {
public:
    WaveformGenerator(const KVD::String& name, CAFId typeId, int maxArgs, int minArgs)
        : FuncRepEx(name, typeId, maxArgs, minArgs)
    {
    }

    SymbolRep* Clone() const override { return new Derived(static_cast<const Derived&>(*this)); }
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount) override
    {
        DoCheckOptimisePush(rpn, stack, argCount, KVD::String(Derived::sUsage));
    }
    void ProcessParams(Symbol* const& begin, Symbol* const& end, RPNArray& rpn, RepStack& stack,
                       int argCount) override
    {
        Cursor at{begin, end, argCount};
        for (const WaveformParam& param : Derived::sParams)
            ProcessNumericVarParam(param.name, at, rpn, stack, param.range, true);
    }
};

#define CALC_WAVEFORM(Name, count)                          \
    class Name : public WaveformGenerator<Name> {           \
    public:                                                 \
        using WaveformGenerator::WaveformGenerator;         \
        static const WaveformParam sParams[count];          \
        static const wchar_t* const sUsage;                 \
    }

CALC_WAVEFORM(SineWave, 4);
CALC_WAVEFORM(TriangleWave, 5);
CALC_WAVEFORM(Pulse, 5);
CALC_WAVEFORM(TrianglePulse, 5);
CALC_WAVEFORM(DoublePulse, 8);
CALC_WAVEFORM(StepPulse, 8);
CALC_WAVEFORM(BiphasicPulse, 5);
CALC_WAVEFORM(Ramp, 6);

#undef CALC_WAVEFORM

}  // namespace CalcParser
