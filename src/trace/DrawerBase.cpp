#include "trace/DrawerBase.h"

#include "IUnitsConversion.h"
#include "trace/DrawUtils.h"

namespace OrrelDraw {

uint32_t UnitsRequestFlags(BlockDataType type, const TChannelId& channel)
{
    return (type & ~0xFFu) | channel.blockDataType;
}

DrawerBase::DrawerBase(long layer, BlockDataType type, TChannelId channel, TChannelId userChannel)
    : mLayer(layer), mBlockDataType(type), mChannel(channel), mUserChannel(userChannel)
{
}

// A copy is a new drawer: it has no pixel map, record data or data pane of its own yet.
DrawerBase::DrawerBase(const DrawerBase& other)
    : SimpleUnknownImp1<IOrrelRecordDrawer, 0l>(),
      mPosition(other.mPosition),
      mLayer(other.mLayer),
      mBlockDataType(other.mBlockDataType),
      mPositionFlags(other.mPositionFlags),
      mPaneIndex(other.mPaneIndex),
      mChannel(other.mChannel),
      mUserChannel(other.mUserChannel),
      mScalingMode(other.mScalingMode)
{
}

HRESULT DrawerBase::SetRecordDataPixMap(unsigned int, IRecordDataPixMap* map)
{
    mPixMap = map;
    mOnline = false;
    mRecordData.Clear();
    if (map != nullptr)
        map->GetRecordData(mRecordData.Set());
    return KVD_S_OK;
}

HRESULT DrawerBase::OnPositionChange(OrrelDrawPosFlags flags, const tagRECT* rect)
{
    mPositionFlags = flags;
    if (rect != nullptr)
        mPosition = *rect;
    return KVD_S_OK;
}

HRESULT DrawerBase::GetLayer(long* layer) const
{
    if (layer == nullptr)
        return KVD_E_POINTER;
    *layer = mLayer;
    return KVD_S_OK;
}

HRESULT DrawerBase::GetInfo(unsigned int, unsigned int* flags, int* left, int* right, TDC*) const
{
    if (flags != nullptr)
        *flags = 0;
    if (left != nullptr)
        *left = 0;
    if (right != nullptr)
        *right = 0;
    return KVD_S_OK;
}

HRESULT DrawerBase::GetChannel(TChannelId* channel) const
{
    if (channel == nullptr)
        return KVD_E_POINTER;
    *channel = mChannel;
    return KVD_S_OK;
}

HRESULT DrawerBase::GetUnitsConversion(int record, IUnitsConversion** units) const
{
    if (units == nullptr)
        return KVD_E_POINTER;
    *units = nullptr;
    if (mChannel.channel < 0 || mRecordData == nullptr)
        return KVD_S_FALSE;
    const TChannelId request{mChannel.channel, UnitsRequestFlags(mBlockDataType, mChannel)};
    return mRecordData->GetUnitsConversion(record, request, units);
}

HRESULT DrawerBase::PrepareForSampling(unsigned int)
{
    return KVD_S_OK;
}

HRESULT DrawerBase::OnRecordStart(unsigned int record, AutoBool online)
{
    mRecordValue = record;
    mOnline = online != kAutoFalse;
    mStarted = true;
    int count = 0;
    if (mRecordData != nullptr && mRecordData->GetRecordCount(&count) == KVD_S_OK)
        mSamplingRecord = count - 1;
    Revert(0xFF000000);
    return KVD_S_OK;
}

HRESULT DrawerBase::Update(long long, long long, long long*)
{
    return KVD_S_FALSE;
}

HRESULT DrawerBase::OnRecordEnd(unsigned int, BlockUpdateType*)
{
    mStarted = false;
    return KVD_S_OK;
}

HRESULT DrawerBase::CleanUpAfterSampling(AutoBool)
{
    return KVD_S_OK;
}

HRESULT DrawerBase::OnEvent(unsigned int id, void* data)
{
    if (id == DrawerEvent::kUnitsContext && data != nullptr)
        mUnitsContext = *static_cast<const UnitsContext*>(data);
    return KVD_S_OK;
}

HRESULT DrawerBase::GetScaleId(long*) const
{
    return KVD_E_NOTIMPL;
}

HRESULT DrawerBase::ReleaseEnums(unsigned int)
{
    return KVD_E_NOTIMPL;
}

HRESULT DrawerBase::GetYRangeForXUnitsRange(BlockDataType, long, int, const DoubleRange*, ChannelYDataRange*) const
{
    return KVD_E_NOTIMPL;
}

HRESULT DrawerBase::OnBeginRevert(TOrrelDrawNeedsUpdateFlags)
{
    return KVD_E_NOTIMPL;
}

HRESULT DrawerBase::GetUserChannel(TChannelId* channel)
{
    if (channel == nullptr)
        return KVD_E_POINTER;
    *channel = uint32_t(mUserChannel.channel) == 0x80000000u ? mChannel : mUserChannel;
    return KVD_S_OK;
}

HRESULT DrawerBase::SetPaneIndex(unsigned int, int index)
{
    mPaneIndex = index;
    return KVD_S_OK;
}

HRESULT DrawerBase::OnDisplayInfoChanged(const IChannelDisplaySettings2*, IUnknown*, int)
{
    return KVD_S_OK;
}

HRESULT DrawerBase::GetPrefixedUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits,
                                         DataScaling*, DataMaxMin*, double*) const
{
    return GetUnitsName(scaleId, side, name, hasUnits);
}

HRESULT DrawerBase::SetDataPane(IDrawerDataPane* pane)
{
    mDataPane = pane;
    return KVD_S_OK;
}

HRESULT DrawerBase::Clone(OrrelDrawerFlags, IOrrelRecordDrawer** out) const
{
    if (out != nullptr)
        *out = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT DrawerBase::SetScalingMode(RecDrawScalingModeFlags mode)
{
    mScalingMode = mode;
    return KVD_S_OK;
}

double DrawerBase::GetAnyReferenceDCPixelRatioX() const
{
    double x = 1.0, y = 1.0;
    if (mDataPane != nullptr)
        mDataPane->GetAnyReferenceDCPixelRatio(0, &x, &y);
    return x;
}

double DrawerBase::GetAnyReferenceDCPixelRatioY() const
{
    double x = 1.0, y = 1.0;
    if (mDataPane != nullptr)
        mDataPane->GetAnyReferenceDCPixelRatio(0, &x, &y);
    return y;
}

TColor DrawerBase::GetBackgroundColor() const
{
    uint32_t rgb = 0xFFFFFF;
    if (mDataPane != nullptr)
        mDataPane->GetBackgroundColor(&rgb);
    return ColourFromRgb(rgb);
}

TColor DrawerBase::AdjustColorForBackground(TColor colour) const
{
    uint32_t rgb = RgbFromColour(colour);
    if (mDataPane == nullptr || mDataPane->AdjustColorForBackground(rgb, &rgb) != KVD_S_OK)
        return colour;
    TColor adjusted = ColourFromRgb(rgb);
    adjusted.alpha = colour.alpha;
    return adjusted;
}

}  // namespace OrrelDraw
