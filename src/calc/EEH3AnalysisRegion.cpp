#include "calc/EEH3AnalysisRegion.h"

namespace EEH3 {

void AnalysisRegion::SetNoLimits()
{
    startTick = 0;
    startRecord = 0;
    endTick = kNoTick;
    endRecord = kNoTick;
}

void AnalysisRegion::MakeValid()
{
    if (startTick < 0)
        startTick = 0;
    if (startRecord < 0)
        startRecord = 0;
    if (endTick < 0)
        endTick = kNoTick;
    if (endRecord < 0)
        endRecord = kNoTick;
}

int32_t AnalysisRegion::GetStart(int32_t record) const { return record == startRecord ? startTick : 0; }

int32_t AnalysisRegion::GetEnd(int32_t record) const
{
    if (record < startRecord || record > endRecord)
        return 0;
    return record == endRecord ? endTick : kNoTick;
}

}  // namespace EEH3
