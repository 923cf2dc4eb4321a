#include "trace/TimeLabeler.h"

#include <algorithm>
#include <cmath>

#include "foundation/draw/DrawFactories.h"
#include "foundation/draw/TDC.h"

namespace OrrelDraw {

TimeLabeler::TimeLabeler()
{
    mLabelTime.SetDecPlaces(6);
}

int64_t TimeLabeler::CalcTickIntervalsFloat(double secsPerPixel, double unitLength, int labelWidth, bool unitsNotTime)
{
    if (unitsNotTime)
        mMode.SetUnitsNotTime(true);
    return CGraticuleInfo::CalcTickIntervalsFloat(secsPerPixel, unitLength, labelWidth, unitsNotTime);
}

double TimeLabeler::GetRecordStartTime(const KVDDataTimeInfo& info) const
{
    const double* t = info.t;
    double start = 0.0;
    switch (mMode.GetTimeOrigin()) {
    case CTimeDisplayMode::kOriginTimeOfDay:
        start = t[0] + (mMode.IsUT() && std::isfinite(t[1]) ? t[1] : 0.0);
        break;
    case CTimeDisplayMode::kOriginRelativeToDate:
        start = std::isfinite(t[1]) && std::isfinite(t[3]) ? t[1] + t[0] - (t[3] + t[2]) : t[0] - t[2];
        break;
    default:
        break;
    }
    return start - t[4];
}

void TimeLabeler::SetTickPosSecs(double t, const KVDDataTimeInfo& info, double s, TDC* dc)
{
    if (minorCount <= 0 || majorsPerLabel <= 0 || !(s > 0.0) || !std::isfinite(s)) {
        mFirstLabelX = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    mLabelTime.Set(mMode.Get(), KVDTimeDate{info.t[0], info.t[1]}, KVDTimeDate{info.t[2], info.t[3]}, t - info.t[4],
                   false);
    const double u = mLabelTime.AsUnits();

    const double interval = labelStep / double(majorsPerLabel);
    labelStep = interval;
    majorsPerLabel = 1;
    if (dc != nullptr) {
        LabelTime next = mLabelTime;
        next += labelStep;
        const size_t n = std::max(mLabelTime.str().length(), next.str().length());
        const int needed = int(((2 * n + 4) * size_t(gGetAveWidthChar(*dc)) + 1) / 2);
        if (double(minorCount) * minorSpacing * double(majorsPerLabel) <= needed) {
            majorsPerLabel = 2;
            labelStep = 2.0 * interval;
        }
    }

    double first = u;
    if (u >= 0.0) {
        const long double rest = fmodl(static_cast<long double>(u), static_cast<long double>(labelStep));
        if (rest != 0.0L)
            first = double(static_cast<long double>(u) - rest + static_cast<long double>(labelStep));
    } else {
        const long double rest = fmodl(static_cast<long double>(-u), static_cast<long double>(labelStep));
        first = double(static_cast<long double>(u) + rest);
    }
    mLabelTime += first - u;
    firstLabelValue = first;

    const double delta = labelStep / double(minorCount * majorsPerLabel);
    const auto k = int64_t(std::floor((first - u) / delta + 0.5));
    mFirstLabelX = (first - GetRecordStartTime(info)) / s;
    nextTickX = mFirstLabelX - double(k) * minorSpacing;
    mTicksBefore = k;

    minorCountdown = k % minorCount + 1;
    labelCountdown = (k / minorCount) % majorsPerLabel + 1;
    nextMajorX = mFirstLabelX - double(minorCount) * minorSpacing * double(labelCountdown);
    if (k == minorCount * majorsPerLabel)
        labelCountdown += majorsPerLabel;
}

KVD::String TimeLabeler::AdvanceMinorTick(bool* major)
{
    nextTickX += minorSpacing;
    nextMajorX += double(minorCount) * minorSpacing;
    const int64_t minor = minorCountdown--;
    if (major != nullptr)
        *major = false;
    if (minor > 1)
        return KVD::String();
    if (major != nullptr)
        *major = true;
    minorCountdown = minorCount;
    const int64_t label = labelCountdown--;
    if (label > 1)
        return KVD::String();
    KVD::String text = mLabelTime.str();
    mLabelTime += labelStep;
    labelCountdown = majorsPerLabel;
    return text;
}

}  // namespace OrrelDraw
