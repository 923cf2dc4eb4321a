// The tick plan of a time axis: the spacing of minor ticks, how many make a major tick and how
// many majors lie between labels, and the walk's place (the next tick and major tick x, in
// pixels from the record's start). The time grid of the channel panes follows the same plan.
#pragma once

#include <cstdint>

namespace OrrelDraw {

struct CGraticuleInfo {
    double firstLabelValue = 0.0;  // display units
    double nextTickX = 0.0;        // pixels
    double nextMajorX = 0.0;
    int64_t minorCountdown = 0;    // ticks left until the next major tick
    int64_t labelCountdown = 0;    // major ticks left until the next label
    double labelStep = 0.0;        // seconds between labels
    double minorSpacing = 0.0;     // pixels
    int64_t minorCount = 0;        // minor intervals per major interval
    int64_t majorsPerLabel = 0;

    // Chooses the intervals for s seconds per pixel, a unit length of u pixels and labels of
    // the given width; the majors per label. Seconds per pixel of 0 or not finite plan nothing.
    int64_t CalcTickIntervalsFloat(double secsPerPixel, double unitLength, int labelWidth, bool unitsNotTime);

    // The digit the last rounding chose (1, 2, 5, 10; or 2, 6, 12, 24), for tests.
    int lastDigit = 1;
    bool sixWay = false;
    double majorInterval = 0.0;  // seconds
};

}  // namespace OrrelDraw
