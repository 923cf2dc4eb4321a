// The common base of record drawers: the default behaviour of every drawer operation, the
// drawer's place (pane, rectangle, layer, channel), its record pixel map and record data, and
// the colour and resolution questions it asks of the data pane.
#pragma once

#include "IRecordData.h"
#include "IRecordDataPixMap.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "trace/IDrawerDataPane.h"
#include "trace/IOrrelRecordDrawer.h"

namespace OrrelDraw {

class DrawerBase : public SimpleUnknownImp1<IOrrelRecordDrawer, 0l> {
public:
    HRESULT SetRecordDataPixMap(unsigned int number, IRecordDataPixMap* map) override;
    HRESULT OnPositionChange(OrrelDrawPosFlags flags, const tagRECT* rect) override;
    HRESULT GetLayer(long* layer) const override;
    HRESULT GetInfo(unsigned int request, unsigned int* flags, int* left, int* right, TDC* dc) const override;
    HRESULT GetChannel(TChannelId* channel) const override;
    HRESULT GetUnitsConversion(int record, IUnitsConversion** units) const override;
    HRESULT PrepareForSampling(unsigned int block) override;
    HRESULT OnRecordStart(unsigned int record, AutoBool online) override;
    HRESULT Update(long long start, long long count, long long* latest) override;
    HRESULT OnRecordEnd(unsigned int record, BlockUpdateType* update) override;
    HRESULT CleanUpAfterSampling(AutoBool flag) override;
    HRESULT OnEvent(unsigned int id, void* data) override;
    HRESULT GetScaleId(long* scaleId) const override;
    HRESULT ReleaseEnums(unsigned int flags) override;
    HRESULT GetYRangeForXUnitsRange(BlockDataType type, long scaleId, int side, const DoubleRange* x,
                                    ChannelYDataRange* range) const override;
    HRESULT OnBeginRevert(TOrrelDrawNeedsUpdateFlags flags) override;
    HRESULT GetUserChannel(TChannelId* channel) override;
    HRESULT SetPaneIndex(unsigned int flags, int index) override;
    HRESULT OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int channel) override;
    HRESULT GetPrefixedUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits,
                                 DataScaling* scaling, DataMaxMin* maxMin, double* factor) const override;
    HRESULT SetDataPane(IDrawerDataPane* pane) override;
    HRESULT Clone(OrrelDrawerFlags flags, IOrrelRecordDrawer** out) const override;
    HRESULT SetScalingMode(RecDrawScalingModeFlags mode) override;
    const GuidelineInfo* GetGuidelineInfo() const override { return nullptr; }

    int GetDCTop() const { return 0; }
    int GetDCHeight() const { return mPosition.bottom - mPosition.top; }
    int Height() const { return GetDCHeight(); }
    double GetAnyReferenceDCPixelRatioX() const;
    double GetAnyReferenceDCPixelRatioY() const;
    TColor GetBackgroundColor() const;
    TColor AdjustColorForBackground(TColor colour) const;

    int GetPaneIndex() const { return mPaneIndex; }
    const TRect& GetPosition() const { return mPosition; }
    int GetSamplingRecord() const { return mSamplingRecord; }
    bool IsStarted() const { return mStarted; }
    bool IsOnline() const { return mOnline; }
    IDrawerDataPane* GetDataPane() const { return mDataPane; }
    IRecordDataPixMap* GetPixMap() const { return mPixMap; }
    // The record and scaling mode the pane last asked units about (record 0, mode 0 at first).
    const UnitsContext& GetUnitsContext() const { return mUnitsContext; }

protected:
    DrawerBase(long layer, BlockDataType type, TChannelId channel, TChannelId userChannel);
    DrawerBase(const DrawerBase& other);

    TRect mPosition;
    long mLayer;
    BlockDataType mBlockDataType;
    OrrelDrawPosFlags mPositionFlags = 0;
    int mPaneIndex = -2;
    TChannelId mChannel;
    TChannelId mUserChannel;
    int mSamplingRecord = -1;
    RecDrawScalingModeFlags mScalingMode = 0;
    unsigned int mRecordValue = 0;
    bool mOnline = false;
    bool mStarted = false;
    KVD::COMPtr<IRecordDataPixMap> mPixMap;
    KVD::COMPtr<IRecordData> mRecordData;
    IDrawerDataPane* mDataPane = nullptr;
    UnitsContext mUnitsContext{0, 0};
};

// Request flags for units: the block data type without its low 8 bits, with the channel's word.
uint32_t UnitsRequestFlags(BlockDataType type, const TChannelId& channel);

}  // namespace OrrelDraw
