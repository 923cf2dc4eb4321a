// A linear mapping of values as (v + offset) x scale: the 16-bit storage of a computed channel,
// and the value-to-pixel mapping of a trace.
#pragma once

struct DataScaling {
    double scale;
    double offset;
};
