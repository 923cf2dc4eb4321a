#include "spirometry/FlowUnits.h"

namespace Spirometry {

namespace {

struct FlowUnit {
    const wchar_t* text;
    double volumePerML;
};

const FlowUnit kFlowUnits[] = {
    {L"L/s", 0.001}, {L"L/sec", 0.001}, {L"mL/s", 1.0}, {L"mL/sec", 1.0}, {L"\u00B5L/s", 1000.0}, {L"\u00B5L/sec", 1000.0},
};

}  // namespace

bool FlowUnitVolumePerML(const KVD::String& unit, double& volumePerML)
{
    for (const FlowUnit& flow : kFlowUnits) {
        if (unit == flow.text) {
            volumePerML = flow.volumePerML;
            return true;
        }
    }
    return false;
}

}  // namespace Spirometry
