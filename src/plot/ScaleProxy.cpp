#include "plot/ScaleProxy.h"

#include <limits>
#include <utility>

#include "foundation/KVDResultCodes.h"
#include "foundation/KVDString.h"
#include "plot/LumoPersistTask.h"

namespace KVD {
namespace {

ChannelYDataRange& Of(ScaleConsts::ScaleDirection direction, ChannelYDataRange& x, ChannelYDataRange& y)
{
    return direction == ScaleConsts::kHorizontal ? x : y;
}

}  // namespace

double ScaleProxy::GetEUnitsMin() const { return std::numeric_limits<double>::lowest(); }

double ScaleProxy::GetEUnitsMax() const { return std::numeric_limits<double>::max(); }

double ScaleProxy::GetUnitsLow() const
{
    ChannelYDataRange range;
    mTask->GetScaleRange(mDirection, range);
    return range.low;
}

double ScaleProxy::GetUnitsHigh() const
{
    ChannelYDataRange range;
    mTask->GetScaleRange(mDirection, range);
    return range.high;
}

HRESULT ScaleProxy::GetPrefixedUnitsName(IAutoKVDString** name) const
{
    if (name == nullptr)
        return KVD_E_POINTER;
    String().GetOut(name);
    return KVD_S_OK;
}

HRESULT ScaleProxy::SetHighLowCheckLimits(double high, double low)
{
    ChannelYDataRange x, y;
    mTask->GetScaleRanges(x, y);
    Of(mDirection, x, y) = ChannelYDataRange{high, low};
    mTask->SetScaleRanges(x, y, true, false);
    return KVD_S_OK;
}

HRESULT ScaleProxy::Invert()
{
    ChannelYDataRange x, y;
    mTask->GetScaleRanges(x, y);
    ChannelYDataRange& range = Of(mDirection, x, y);
    std::swap(range.high, range.low);
    mTask->SetScaleRanges(x, y, false, false);
    return KVD_S_OK;
}

}  // namespace KVD
