#include "host/data/RecordChannel.h"

#include "foundation/KVDString.h"
#include "host/data/ChannelUnits.h"
#include "host/data/DataRequest.h"

namespace Host {

RecordChannel* RecordChannel::Create(int channel, const std::string& title, IUnitsConversion* recordedUnits,
                                     IUnitsConversion* dataUnits, bool computed)
{
    return KVD::MakeCounted<RecordChannel>(channel, title, recordedUnits, dataUnits, computed).Forget();
}

RecordChannel::RecordChannel(int channel, const std::string& title, IUnitsConversion* recordedUnits,
                             IUnitsConversion* dataUnits, bool computed)
    : mChannel(channel), mTitle(title), mRecordedUnits(recordedUnits), mDataUnits(dataUnits), mComputed(computed)
{
}

IUnitsConversion* RecordChannel::UnitsFor(uint32_t flags) const
{
    return DataRequest(flags).recorded ? mRecordedUnits.get() : mDataUnits.get();
}

HRESULT RecordChannel::GetChannel(int32_t* channel) const
{
    if (channel == nullptr)
        return KVD_E_POINTER;
    *channel = mChannel;
    return KVD_S_OK;
}

HRESULT RecordChannel::GetTitle(IAutoKVDString** title) const
{
    if (title == nullptr)
        return KVD_E_POINTER;
    KVD::ToKVDString(mTitle).GetOut(title);
    return KVD_S_OK;
}

HRESULT RecordChannel::GetUnitName(uint32_t flags, IUnitName** unit) const
{
    if (unit == nullptr)
        return KVD_E_POINTER;
    *unit = nullptr;
    ChannelUnits::NameFor(UnitsFor(flags), flags).GetOut(unit);
    return *unit == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT RecordChannel::GetUnits(uint32_t flags, IUnitsConversion** units) const
{
    if (units == nullptr)
        return KVD_E_POINTER;
    KVD::COMPtr<IUnitsConversion>(UnitsFor(flags)).GetOut(units);
    return *units == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT RecordChannel::IsComputed(AutoBool* computed) const
{
    if (computed == nullptr)
        return KVD_E_POINTER;
    *computed = mComputed ? kAutoTrue : kAutoFalse;
    return KVD_S_OK;
}

}  // namespace Host
