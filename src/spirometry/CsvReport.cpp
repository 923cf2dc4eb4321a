#include "spirometry/CsvReport.h"

#include <cmath>
#include <locale>
#include <type_traits>
#include <sstream>
#include <vector>

#include "foundation/CFileWithHRESULT.h"
#include "foundation/StringKeys.h"
#include "foundation/TextConversion.h"
#include "foundation/units/UnitPrefixScaling.h"
#include "spirometry/SpiroDocument.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {
namespace {

constexpr const wchar_t* kCrLf = L"\r\n";
constexpr double kPerMinute = BreathFigures::kPerMinute;

std::wstring Str(const KVD::String& text)
{
    return std::wstring(text.c_str(), text.length());
}

}  // namespace

CsvReport::CsvReport(const SpiroDocument& document, const KVD::String& separator)
    : mDocument(document),
      mSeparator(Str(separator)),
      mPrefix(Str(UnitPrefixScaling::sStringFromPrefix(UnitPrefix(document.Config().mFlowUnitPrefix)))),
      mScale(UnitPrefixScaling::sScalingFromPrefix(UnitPrefix(document.Config().mFlowUnitPrefix)))
{
}

template <class T>
std::wstring CsvReport::Text(const T& value) const
{
    // A figure that could not be computed is left blank rather than written as nan or inf.
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(value))
            return {};
    std::wostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

template <class T>
std::wstring& CsvReport::Cell(std::wstring& line, const T& value)
{
    line += mSeparator;
    line += Text(value);
    return line;
}

double CsvReport::TimeInBlock(KVDPosition position) const
{
    const KVDPosition positions[2] = {position, KVDPosition{0, position.record}};
    double seconds[2] = {0.0, 0.0};
    if (IRecordData* records = mDocument.GetRecordData())
        records->GetPositionTimes(2, positions, seconds);
    return seconds[0] - seconds[1];
}

std::wstring CsvReport::Heading() const
{
    const std::wstring p = mPrefix;
    const std::vector<std::wstring> cells = {
        Str(CachedText<SpirometryStr::IDS_BREATH>()) + L" #", L"Ti (s)", L"Te (s)", L"Duration (s)",
        L"V_T (" + p + L"L)", L"PIF (" + p + L"L/s)", L"PIF (" + p + L"L/min)", L"PEF (" + p + L"L/s)",
        L"PEF (" + p + L"L/min)", L"FVC (" + p + L"L)", L"FEV_1 (" + p + L"L)", L"FEV_1 / FVC (%)"};
    std::wstring line = cells.front();
    for (size_t i = 1; i < cells.size(); ++i)
        line += mSeparator + cells[i];
    return line;
}

KVD::String CsvReport::Text()
{
    using namespace SpirometryStr;
    const SpConfig& config = mDocument.Config();
    const SpiroMachine& machine = mDocument.Machine();
    const BreathList& breaths = machine.Breaths();
    const std::wstring& s = mSeparator;

    mText = Str(CachedText<IDS_REPORT_SETTINGS>()) + kCrLf;
    mText += L"Flow" + s + L"Volume" + s + L"Cycle Detection Level" + s + L"Forced Expiration Threshold\n";
    mText += L"Channel " + Text(config.mSpFlowCalcChan + 1) + s + L"Channel " + Text(config.mSpVolCalcChan + 1) + s +
             Text(config.mCycleDetectionFactor) + L"% full range" + s + Text(config.mForcedExpirationThreshold) +
             L" x average volume" + kCrLf + kCrLf;

    mText += Str(CachedText<IDS_REPORT_SELECTION>()) + kCrLf;
    mText += L"Block " + Text(machine.GetStartPos().record + 1) + L" (from start of block)\n";
    mText += L"User range\nstart (s)" + s + L"end (s)\n";
    mText += Text(TimeInBlock(machine.GetStartPos())) + s + Text(TimeInBlock(machine.GetEndPos())) + kCrLf;
    mText += L"Analyzed range\nstart (s)" + s + L"end (s)\n";
    if (breaths.GetCount() > 0) {
        mText += Text(TimeInBlock(breaths[0]->start)) + s +
                 Text(TimeInBlock(breaths[breaths.GetCount() - 1]->end));
    }
    mText += kCrLf;

    for (unsigned i = 0; i < breaths.GetCount(); ++i)
        AppendRow(i, *breaths[i]);
    AppendSummary();
    return KVD::String(mText.c_str());
}

void CsvReport::AppendRow(unsigned index, const Breath& breath)
{
    using namespace SpirometryStr;
    const bool nonForced = !breath.forced && !breath.excluded;
    const bool listed = !nonForced || mDocument.Config().mNonForcedInReport;
    if (listed && !mHeadingWritten) {
        mText += kCrLf + Heading();
        mHeadingWritten = true;
    }
    std::wstring row;
    if (listed) {
        row = Text(index + 1);
        if (breath.forced)
            row += L" (" + Str(CachedText<IDS_FORCED>()) + L")";
        else if (breath.excluded)
            row += L" (" + Str(CachedText<IDS_SINGLE_EXPIRATION>()) + L")";
        row += mSeparator;
    }
    const BreathFigures f = BreathFigures::Of(mDocument, breath, mScale);
    if (listed) {
        row += Text(f.ti);
        Cell(row, f.te);
        Cell(row, f.duration);
    }
    if (nonForced) {
        if (listed)
            Cell(row, f.volume);
        mNonForced.Add(f);
    } else {
        if (breath.forced) {
            row += mSeparator;
            Cell(row, f.pif);
            Cell(row, f.PifPerMinute());
        } else {
            row += mSeparator + mSeparator + mSeparator;
        }
        Cell(row, f.pef);
        Cell(row, f.PefPerMinute());
        Cell(row, f.volume);
        if (f.hasFev1) {
            Cell(row, f.fev1);
            Cell(row, f.Fev1Percent());
        }
        mForcedDuration += f.duration;
    }
    if (!row.empty())
        mText += L"\n" + row;
}

void CsvReport::AppendSummary()
{
    using namespace SpirometryStr;
    const std::wstring& s = mSeparator;
    const BreathList& breaths = mDocument.Machine().Breaths();
    mText += kCrLf;
    mText += kCrLf + Str(CachedText<IDS_OVERALL>()) + kCrLf;
    mText += L"Duration (s)" + s + L"Breaths\n";
    mText += Text(mForcedDuration + mNonForced.duration) + s + Text(breaths.GetCount()) + kCrLf;

    bool allSingleExpirations = true;
    for (unsigned i = 0; i < breaths.GetCount(); ++i)
        allSingleExpirations = allSingleExpirations && breaths[i]->excluded && !breaths[i]->forced;
    if (allSingleExpirations)
        return;
    mText += kCrLf + Str(CachedText<IDS_NON_FORCED>()) + kCrLf;
    mText += L"Duration (s)" + s + L"Breaths\n";
    mText += Text(mNonForced.duration) + s + Text(mNonForced.count) + kCrLf;
    if (mNonForced.count < 1)
        return;

    const float ve = mNonForced.VolumePerSecond();
    const float averageVolume = mNonForced.AverageVolume();
    const float frequency = mNonForced.Frequency();
    const std::wstring& p = mPrefix;
    mText += kCrLf + Str(CachedText<IDS_NON_FORCED_BREATHS>()) + kCrLf;
    mText += L"V_E (" + p + L"L/s)" + s + L"V_E (" + p + L"L/min)" + s + L"Average V_T (" + p + L"L)" + s +
             L"f (Hz)" + s + L"f (/min)\n";
    mText += Text(ve) + s + Text(double(ve) * kPerMinute) + s + Text(averageVolume) + s + Text(frequency) + s +
             Text(double(frequency) * kPerMinute);
}

bool CsvReport::WriteLatin1(const KVD::String& path, const KVD::String& text)
{
    std::string bytes(text.length(), '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        const wchar_t c = text.c_str()[i];
        bytes[i] = static_cast<char>(uint32_t(c) <= 0xFF ? c : L'?');
    }
    KVD::CFileWithHRESULT file;
    if (!file.fopen(KVD::ToU8String(path.c_str(), path.length()).c_str(), "wb"))
        return false;
    const bool written = file.fwrite(bytes.data(), bytes.size()) == bytes.size();
    return file.fclose() == 0 && written;
}

}  // namespace Spirometry
