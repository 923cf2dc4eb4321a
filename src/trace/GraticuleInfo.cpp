#include "trace/GraticuleInfo.h"

#include <cmath>

#include "trace/DrawUtils.h"

namespace OrrelDraw {

int64_t CGraticuleInfo::CalcTickIntervalsFloat(double s, double u, int labelWidth, bool unitsNotTime)
{
    if (!(s > 0.0) || !std::isfinite(s)) {
        minorSpacing = 0.0;
        minorCount = 0;
        majorsPerLabel = 0;
        return 0;
    }
    const double raw = std::trunc(u * 18.001) * s;
    const double m = std::trunc(3.0 * u);
    int d = 1;
    bool six = false;
    double interval = raw;
    if (raw < 15.0 || unitsNotTime) {
        RoundUp125(&interval, &d);
    } else if (raw < 900.0) {
        interval = raw / 60.0;
        RoundUp125(&interval, &d);
        interval *= 60.0;
        six = interval < 61.0;
    } else if (raw < 64800.0) {
        if (raw < 3601.0) {
            interval = 3600.0;
            six = true;
        } else {
            interval = raw / 3600.0;
            RoundUp1_2_6_12(&interval, &d);
            interval *= 3600.0;
            six = d > 5;
        }
    } else if (raw < 86401.0) {
        interval = 86400.0;
        six = true;
    } else {
        interval = raw / 86400.0;
        RoundUp125(&interval, &d);
        interval *= 86400.0;
    }
    const double p = interval / s;
    const int k = six ? 6 : d == 2 ? 4 : 5;
    minorCount = m > p / k ? 2 : k;
    minorSpacing = p / double(minorCount);
    majorsPerLabel = int64_t(std::trunc(labelWidth / p + 1.0));
    labelStep = interval * double(majorsPerLabel);
    lastDigit = d;
    sixWay = six;
    majorInterval = interval;
    return majorsPerLabel;
}

}  // namespace OrrelDraw
