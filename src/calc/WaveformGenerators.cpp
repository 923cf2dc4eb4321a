#include "calc/WaveformGenerators.h"

namespace CalcParser {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kFloatMax = 3.4028234663852886e38;      // the largest single-precision value
constexpr double kWeek = 604800;                         // seconds
constexpr double kCountMax = 9223372036854775808.0;      // 2 to the power 63

constexpr CalcEnums::Range kUpToFloatMax = {0, kFloatMax};
constexpr CalcEnums::Range kTime = {0, kWeek};
constexpr CalcEnums::Range kPhase = {-kPi, kPi};
constexpr CalcEnums::Range kCount = {0, kCountMax};
constexpr CalcEnums::Range kRepeat = {-2, kCountMax};
constexpr CalcEnums::Range kLevel = {-kCountMax, kCountMax};

}  // namespace

const WaveformParam SineWave::sParams[4] = {
    {L"Frequency", kUpToFloatMax}, {L"Amplitude", kUpToFloatMax}, {L"InitialPhase", kPhase}, {L"HalfCycles", {-1, kCountMax}}};
const wchar_t* const SineWave::sUsage =
    L"SineWave(freq=1(Hz), Amp=1, initialPhase = 0(rad), halfCycleRepeats = -1(unlimited)\r\n";

const WaveformParam TriangleWave::sParams[5] = {{L"Frequency", kUpToFloatMax},
                                                {L"Amplitude", kUpToFloatMax},
                                                {L"Skewness", {-1, 1}},
                                                {L"InitialPhase", kPhase},
                                                {L"HalfCycles", kCount}};
const wchar_t* const TriangleWave::sUsage =
    L"Triangle(freq=1(Hz), Amp=1, Skewness=0, initialPhase = 0(rad), halfCycleRepeats = -1(unlimited)\r\n";

const WaveformParam Pulse::sParams[5] = {{L"Amplitude", kUpToFloatMax},
                                         {L"Width", kTime},
                                         {L"Start delay", kTime},
                                         {L"End delay", kTime},
                                         {L"Repeat", kCount}};
const wchar_t* const Pulse::sUsage =
    L"Pulse(amp = 1, width = 0.1 s, start delay = 0 s, end delay = 1 s,repeat = -1(unlimited)\r\n";

const WaveformParam TrianglePulse::sParams[5] = {{L"Amplitude", kUpToFloatMax},
                                                 {L"Width", kTime},
                                                 {L"Start delay", kTime},
                                                 {L"End delay", kTime},
                                                 {L"HalfCycles", kCount}};
const wchar_t* const TrianglePulse::sUsage =
    L"Triangle(amp = 1, width = 0.1 s, start delay = 0 s, end delay = 1 s,repeats = -1(unlimited))\r\n";

const WaveformParam DoublePulse::sParams[8] = {
    {L"Amplitude1", kUpToFloatMax}, {L"Width1", kTime},      {L"Interval", kTime},        {L"End delay", kTime},
    {L"Repeat", kRepeat},        {L"Start delay", kTime}, {L"Amplitude2", kUpToFloatMax}, {L"Width2", kTime}};
const wchar_t* const DoublePulse::sUsage =
    L"DoublePulse(amp1 = 1, width1 = 0.1 s, interval = 0.1, end delay = 1 s,repeats = -1(unlimited), start delay "
    L"= 0 s, amp2 = 1, width2 = 0.1 s\r\n";

const WaveformParam StepPulse::sParams[8] = {
    {L"Steps", {1, kCountMax}}, {L"StartHeight", kLevel}, {L"EndHeight", kLevel}, {L"StepTime", kTime},
    {L"OnTime", kTime},         {L"StartDelay", kTime},   {L"EndDelay", kTime},   {L"Repeat", kRepeat}};
const wchar_t* const StepPulse::sUsage =
    L"StepPulse (steps = 1, startHeight = 0, endHeight = 1, stepTime = 1(s), onTime = 0.1(s), startDelay = 0, "
    L"endDelay = 0, repeat = -1)\r\n";

const WaveformParam BiphasicPulse::sParams[5] = {
    {L"Amplitude", kLevel}, {L"Width", kTime}, {L"StartDelay", kTime}, {L"EndDelay", kTime}, {L"Repeat", kRepeat}};
const wchar_t* const BiphasicPulse::sUsage =
    L"BiphasicPulse (amplitude = 1, width = 0.1, startDelay = 0, endDelay = 0, repeat = -1)\r\n";

const WaveformParam Ramp::sParams[6] = {{L"StartAmp", kUpToFloatMax}, {L"EndAmp", kUpToFloatMax}, {L"Width", kTime},
                                        {L"Start delay", kTime},   {L"End delay", kTime},   {L"Repeat", kCount}};
const wchar_t* const Ramp::sUsage =
    L"Ramp(startAmp = 0,endAmp = 1, width = 0.1 s, start delay = 0 s, end delay = 1 s,repeat = -1(unlimited)\r\n";

}  // namespace CalcParser
