#include "calc/ChannelRep.h"

namespace CalcParser {

ChannelRep::ChannelRep(SymType type, BlockDataType dataType)
    : SymbolRep(type), mChannel{kNoChannelNumber, dataType}
{
}

void ChannelRep::SetSourceEnumDataTypes(KVDEnumDataType type)
{
    SetOutputDataType(type);
    mSourceType = type;
}

HRESULT ChannelRep::GetSourceInfo(CalcEnums::CCalcEnumSourceInfo* info) const
{
    if (info == nullptr)
        return KVD_E_NULLOUT;
    info->channel = mChannel;
    info->dataType = mSourceType;
    return KVD_S_OK;
}

}  // namespace CalcParser
