// A trace whose units an owned unit mapper supplies (a computed trace shown in units of its own).
#pragma once

#include <memory>

#include "trace/PolyLineTraceDrawer.h"
#include "trace/UnitMapper.h"

namespace OrrelDraw {

class CustomUnitsPolyLineTraceDrawer : public PolyLineTraceDrawer {
public:
    CustomUnitsPolyLineTraceDrawer(BlockDataType type, TChannelId channel, std::unique_ptr<UnitMapper> mapper,
                                   long scaleId, const TColor* colour, TChannelId userChannel, PolyLineType lineType,
                                   int layer);

    HRESULT GetUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits) const override;
    HRESULT GetPrefixedUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits,
                                 DataScaling* scaling, DataMaxMin* maxMin, double* factor) const override;

private:
    // The mapped name and its prefix; false when the mapper gives none.
    bool MappedUnits(long scaleId, KVD::String& shown, UnitPrefix& prefix) const;

    std::unique_ptr<UnitMapper> mMapper;
};

}  // namespace OrrelDraw
