#include "trace/CustomUnitsPolyLineTraceDrawer.h"

#include "IUnitsConversion.h"
#include "foundation/units/UnitPrefixScaling.h"

namespace OrrelDraw {

CustomUnitsPolyLineTraceDrawer::CustomUnitsPolyLineTraceDrawer(BlockDataType type, TChannelId channel,
                                                               std::unique_ptr<UnitMapper> mapper, long scaleId,
                                                               const TColor* colour, TChannelId userChannel,
                                                               PolyLineType lineType, int layer)
    : PolyLineTraceDrawer(type, channel, scaleId, colour, userChannel, lineType, layer, 1), mMapper(std::move(mapper))
{
}

bool CustomUnitsPolyLineTraceDrawer::MappedUnits(long scaleId, KVD::String& shown, UnitPrefix& prefix) const
{
    if (mMapper == nullptr || mChannel.channel < 0 || scaleId != mScaleId)
        return false;
    KVD::String channelUnits, mapperUnits;
    ChannelUnitsName(TChannelId{mChannel.channel, UnitsRequestFlags(mBlockDataType, mChannel)},
                     KVD::String::Setter(channelUnits));
    ChannelUnitsName(TChannelId{mMapper->GetChannel(), 0x1000u | mMapper->GetFlags()},
                     KVD::String::Setter(mapperUnits));
    prefix = kUnitPrefixNone;
    return mMapper->Map(channelUnits, mapperUnits, shown, prefix) && !shown.empty();
}

HRESULT CustomUnitsPolyLineTraceDrawer::GetUnitsName(long scaleId, int, IAutoKVDString** name,
                                                     AutoBool* hasUnits) const
{
    if (name != nullptr)
        *name = nullptr;
    KVD::String shown;
    UnitPrefix prefix = kUnitPrefixNone;
    if (name == nullptr || !MappedUnits(scaleId, shown, prefix))
        return KVD_S_FALSE;
    shown.GetOut(name);
    if (hasUnits != nullptr)
        *hasUnits = kAutoTrue;
    return KVD_S_OK;
}

HRESULT CustomUnitsPolyLineTraceDrawer::GetPrefixedUnitsName(long scaleId, int side, IAutoKVDString** name,
                                                             AutoBool* hasUnits, DataScaling* scaling,
                                                             DataMaxMin* maxMin, double* factor) const
{
    KVD::String shown;
    UnitPrefix prefix = kUnitPrefixNone;
    const HRESULT hr = GetUnitsName(scaleId, side, name, hasUnits);
    if (hr != KVD_S_OK || !MappedUnits(scaleId, shown, prefix))
        return hr;
    KVD::COMPtr<IUnitsConversion> units;
    if (scaling != nullptr || maxMin != nullptr)
        GetUnitsConversion(GetUnitsContext().block, units.Set());
    if (units != nullptr) {
        const uint32_t request = UnitsRequestFlags(mBlockDataType, mChannel);
        double scale = 1.0, offset = 0.0;
        if (units->GetScaling(mScalingMode != 0 ? request : 0, &scale, &offset) == KVD_S_OK && scaling != nullptr)
            *scaling = DataScaling{scale, offset};
        double top = 0.0, bottom = 0.0;
        if (maxMin != nullptr && units->GetRange(request, &top, &bottom) == KVD_S_OK)
            *maxMin = DataMaxMin{top, bottom};
    }
    if (factor != nullptr)
        *factor = UnitPrefixScaling::sScaleUnitsToPrefixedUnits(prefix);
    return hr;
}

}  // namespace OrrelDraw
