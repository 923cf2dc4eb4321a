#include "spirometry/SourceChannelSettings.h"

#include <locale>

#include "CalcEnumTypes.h"
#include "foundation/OStringStream.h"

namespace Spirometry {

namespace {

constexpr uint32_t kOwnChannelFlags = 0x2001;
// The source's data in its unit: in the prefix it is shown in, a flow shown as mL/s would
// integrate to millilitres where litres are meant.
constexpr uint32_t kOtherChannelFlags = 0xC0001000;

}  // namespace

void SourceChannelSettings::SetCalculationChannel(long channel)
{
    mOwnChannel = channel;
    if (mSourceChannel == kUnset)
        mSourceChannel = static_cast<int32_t>(channel);
}

KVD::String SourceChannelSettings::GetChannelString() const
{
    KVD::OStringStream text;
    text.imbue(std::locale::classic());
    text << L"Ch" << mSourceChannel + 1;
    return text.str();
}

void SourceChannelSettings::MakeSourceInfos(int channel,
                                            CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true>& sources) const
{
    sources.Clear();
    const uint32_t flags = mSourceChannel == channel ? kOwnChannelFlags : kOtherChannelFlags;
    sources.Add(CalcEnums::CCalcEnumSourceInfo{TChannelId{mSourceChannel, flags}, kEnumDataSamples});
}

void SourceChannelSettings::CopyChannelsAndRange(const SourceChannelSettings& other)
{
    mSourceChannel = other.mSourceChannel;
    mRangeBottom = other.mRangeBottom;
    mRangeTop = other.mRangeTop;
    mUnitIndex = other.mUnitIndex;
    mOwnChannel = other.mOwnChannel;
}

bool SourceChannelSettings::SameChannelAndRange(const SourceChannelSettings& other) const
{
    return mSourceChannel == other.mSourceChannel && mRangeBottom == other.mRangeBottom &&
           mRangeTop == other.mRangeTop;
}

}  // namespace Spirometry
