// The macro table of the formula language and the expansion stage that runs before a formula
// is tokenized.
#include <atomic>
#include <mutex>

#include "calc/FormulaText.h"
#include "calc/Parser.h"
#include "calc/XArith.h"

namespace CalcParser {
namespace {

struct MacroRow {
    const wchar_t* name;
    const wchar_t* replacement;
    const wchar_t* spec;
    const wchar_t* help;
};

const wchar_t* const kCycleDetection = L"req req 1.0 0.0 30.0";

const MacroRow kMacros[] = {
    {L"Square", L"($1)^2", L"", L""},
    {L"Cube", L"($1)^3", L"", L""},
    {L"ThresholdVal", L"(threshold($1,$2)*($4) + (1-threshold($1,$2))*($3))", L"req req req req",
     L"Thresholdval( x, y, v1, v2 ) returns v1 where x<y and v2 where x>=y"},
    {L"ThresholdWide", L"(threshold(smoothsec(threshold($1,$2),$3),1e-9))", L"req req req",
     L"Thresholdwide( x, y, w ) returns 1 in an expanded region of w seconds around each sample where x>=y, "
     L"else 0"},
    {L"PeakWidth", L"(threshold($1,$2)*maxsec(integrate(threshold($1,$2)-1e-9,\"cycle\") * threshold($1,$2),$3))",
     L"req req req",
     L"PeakWidth( x, y, w ) converts regions where x>=y to pulses with amplitude equal to the region width. W "
     L"should be larger thant he largest width, and smaller than the smallest gap between regions"},
    {L"Variance", L"(smoothsec(($1)^2, $2) - smoothsec($1,$2)^2)", L"req req",
     L"Variance( Source, w ) returns the variance of Source in a moving window with width w"},
    {L"Covariance", L"(smoothsec($1*$2,$3)-smoothsec($1,$3)*smoothsec($2,$3))", L"req req req",
     L"Covariance( Source1, Source2, w ) returns the covariance of the two sources in a moving window with "
     L"width w"},
    {L"RegressionSlopeXY", L"(covariance($1,$2,$3) / variance($1,$3))", L"req req req",
     L"RegressionSlopeXY( Source1, Source2, w ) returns the regression slope of Source1 against Source2 in a "
     L"moving window with width w"},
    {L"PearsonXY", L"(covariance($1,$2,$3)/sqrt(variance($1,$3)*variance($2,$3)))", L"req req req",
     L"PearsonXY( Source1, Source2, w ) returns Pearson's correlation coefficient in a moving window of width w"},
    {L"MeanAbsoluteDeviation", L"(average(abs($1-interp(average($1,$2))),$2))", L"req req",
     L"MeanAbsoluteDeviation( Source, w ) in a moving window of width w"},
    {L"rms", L"( sqrt( smoothsec( ($1)^2, $2 ) ) )", L"req req",
     L"RMS( source, w ) returns the root mean square in a moving window of width w"},
    {L"WindowVal", L"(window($1,$2,$3)*($5) + (1-window($1,$2,$3))*($4))", L"req req req req req",
     L"WindowVal( x, y, z, v1, v2 ) returns v1 if y<=x<z, else v2"},
    {L"Widen", L"(threshold(smoothsec($1,$2),1e-9))", L"req req",
     L"Widen( Source, w ) returns 1 in an expanded region of w seconds around each sample with value > 0"},
    {L"CMRate", L"eventrate(cmpeakdet($1, $2, $3, $4))", L"req 1.0 0.0 30.0",
     L"CMRate( Source, MinHeight (physical units), MinPeriod (seconds), Reset Time (seconds) ) returns the "
     L"Cyclomera rate of the Source"},
    {L"CMPeriod", L"eventperiod(cmpeakdet($1, $2, $3, $4))", L"req 1.0 0.0 30.0",
     L"CMPeriod( Source, MinHeight (physical units), MinPeriod (seconds), Reset Time (seconds) ) returns the "
     L"Cyclomera period of the Source"},
    {L"CMCount", L"eventcount(cmpeakdet($1, $2, $3, $4))", L"req 1.0 0.0 30.0",
     L"CMCount( Source, MinHeight (physical units), MinPeriod (seconds), Reset Time (seconds) ) returns the "
     L"Cyclomera count of the Source"},
    {L"CMHeight", L"eventheight($1, cmpeakdet($2, $3, $4, $5))", kCycleDetection,
     L"CMHeight( Source, DetectionSource, MinHeight (physical units), MinPeriod (seconds), Reset Time (seconds) "
     L") returns the Cyclomera height of Source using events detected from DetectionSource"},
    {L"CMMean", L"eventmean($1, cmpeakdet($2, $3, $4, $5))", kCycleDetection,
     L"CMMean( Source, DetectionSource, MinHeight (physical units), MinPeriod (seconds), Reset Time (seconds) ) "
     L"returns the Cyclomera Mean of Source using events detected from DetectionSource"},
    {L"CMMin", L"eventmin($1, cmpeakdet($2, $3, $4, $5))", kCycleDetection,
     L"CMMin( Source, DetectionSource, MinHeight (physical units), MinPeriod (seconds), Reset Time (seconds) ) "
     L"returns the Cyclomera minimum of Source using events detected from DetectionSource"},
    {L"CMMax", L"eventmax($1, cmpeakdet($2, $3, $4, $5))", kCycleDetection,
     L"CMMax( Source, DetectionSource, MinHeight (physical units), MinPeriod (seconds), Reset Time (seconds) ) "
     L"returns the Cyclomera maximum of Source using events detected from DetectionSource"},
    {L"CMThirdsMean", L"EventThirdsMean($1, cmpeakdet($2, $3, $4, $5))", kCycleDetection,
     L"CMThirdsMean( Source, DetectionSource, MinHeight (physical units), MinPeriod (seconds), Reset Time "
     L"(seconds) ) returns the Cyclomera one third minimum, two thirds maximum of Source using events detected "
     L"from DetectionSource"},
    {L"CMVariance", L"eventvariance($1, cmpeakdet($2, $3, $4, $5))", kCycleDetection,
     L"CMVariance( Source, DetectionSource, MinHeight (physical units), MinPeriod (seconds), Reset Time (seconds) "
     L") returns the Cyclomera variance of Source using events detected from DetectionSource"},
    {L"CMIntegral", L"eventintegral($1, cmpeakdet($2, $3, $4, $5))", kCycleDetection,
     L"CMIntegral( Source, DetectionSource, MinHeight (physical units), MinPeriod (seconds), Reset Time (seconds) "
     L") returns the Cyclomera integral of Source over each cycle detected from DetectionSource"},
    {L"CMMaxDerivative", L"eventmaxderivative($1, cmpeakdet($2, $3, $4, $5))", kCycleDetection,
     L"CMMaxDerivative( Source, DetectionSource, MinHeight (physical units), MinPeriod (seconds), Reset Time "
     L"(seconds) ) returns the Cyclomera maximum derivative of Source over each cycle detected from "
     L"DetectionSource"},
    {L"CMMinDerivative", L"eventminderivative($1, cmpeakdet($2, $3, $4, $5))", kCycleDetection,
     L"CMMinDerivative( Source, DetectionSource, MinHeight (physical units), MinPeriod (seconds), Reset Time "
     L"(seconds) ) returns the Cyclomera minimum derivative of Source over each cycle detected from "
     L"DetectionSource"},
    {L"Invert", L"-($1)", L"", L""},
    {L"Hilbert", L"resample($1,1,1,1,$2,0,2)", L"req 31", L"Hilbert(Source [,Window width in samples = 31])"},
    {L"Coherence",
     L"norm(VecMovingAvC(RealFFT(VectorWindow($1,$3,$3/2,5,1)).*conj(RealFFT(VectorWindow($2,$3,$3/2,5,1))),$4))./"
     L"(VecMovingAv(norm(RealFFT(VectorWindow($1,$3,$3/2,5,1))),$4).*VecMovingAv(norm(RealFFT(VectorWindow($2,$3,"
     L"$3/2,5,1))),$4))",
     L"req req 512 9", L"Coherence(Source1, Source2, [,FFT length in samples = 512, FFTs to average = 9])"},
    {L"CoherenceBand", L"SpectrumParameter($1,10,$2,$3)", L"req 100 120",
     L"CoherenceBand(Source , LowerFrequency(Hz), UpperFrequency(Hz))"},
    {L"TransferMag",
     L"abs(VecMovingAvC(RealFFT(VectorWindow($1,$3,$3/2,5,1)).*conj(RealFFT(VectorWindow($2,$3,$3/2,5,1))),$4))./"
     L"VecMovingAv(norm(RealFFT(VectorWindow($1,$3,$3/2,5,1))),$4)",
     L"req req 1024 5", L"TransferMag(Input, Output, [,FFT length in samples = 1024, FFTs to average = 5])"},
    {L"TransferArg",
     L"arg(VecMovingAvC(RealFFT(VectorWindow($1,$3,$3/2,5,1)).*conj(RealFFT(VectorWindow($2,$3,$3/2,5,1))),$4))./"
     L"VecMovingAv(norm(RealFFT(VectorWindow($1,$3,$3/2,5,1))),$4)",
     L"req req 1024 5", L"TransferArg(Input, Output, [,FFT length in samples = 1024, FFTs to average = 5])"},
    {L"TransferBand", L"SpectrumParameter($1,10,$2,$3)", L"req 100 120",
     L"TransferBand(Source , LowerFrequency(Hz), UpperFrequency(Hz))"},
};

}  // namespace

Parser::ExpansionTable Parser::sFunctionExpansions;

void Parser::sInitAliasesTable()
{
    static std::atomic<bool> built{false};
    static std::mutex lock;
    if (built.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::mutex> guard(lock);
    if (!sFunctionExpansions.empty())
        return;
    try {
        for (const MacroRow& row : kMacros)
            sFunctionExpansions[KVD::String(row.name)] =
                FunctionExpansion(KVD::String(row.name), KVD::String(row.replacement), KVD::String(row.spec),
                                  KVD::String(row.help));
    } catch (...) {
        sFunctionExpansions.clear();  // a failed build leaves no half table
        throw;
    }
    built.store(true, std::memory_order_release);
}

bool Parser::sDoFunctionExpansions(const KVD::String& text, KVD::String& expanded, KVD::String& message)
{
    sInitAliasesTable();
    KVD::String lower = LowerFormulaText(text);
    try {
        // After each change the walk starts again from the first macro, so that a macro whose
        // name lies inside a longer one sees the text only after the longer one's calls.
        auto macro = sFunctionExpansions.begin();
        while (macro != sFunctionExpansions.end()) {
            // Most formulas name no macro: a text without the name cannot change.
            if (macro->second.MayCall(lower) && sDoFunctionExpansion(macro->second, lower, lower))
                macro = sFunctionExpansions.begin();
            else
                ++macro;
        }
    } catch (const XArith& error) {
        message = error.Message();
        return false;
    }
    expanded = lower;
    return true;
}

bool Parser::sDoFunctionExpansion(const FunctionExpansion& macro, const KVD::String& text, KVD::String& output)
{
    const KVD::String before(text);
    output = macro.Expand(text);
    // Expand hands the text itself back when it found no call.
    return before.c_str() != text.c_str() && before.CaseInsensitiveCompare(text, false) != 0;
}

}  // namespace CalcParser
