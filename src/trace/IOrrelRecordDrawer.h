// A record drawer: draws one record's range of pixel columns of a child pane on one layer and
// follows the sampling cycle. Slot order is fixed.
#pragma once

#include "DataScaling.h"
#include "IUnknown.h"
#include "foundation/draw/TDC.h"
#include "trace/DrawerTypes.h"

struct IAutoKVDString;
struct IChannelDisplaySettings2;
struct IDrawerDataPane;
struct IRecordDataPixMap;
struct IScale;
struct IUnitsConversion;
struct ChannelYDataRange;
struct DataMaxMin;
struct DoubleRange;

// 5F4C7C0A-6C8E-4B7B-9B1F-2D1E6A0C9A31
inline constexpr _IID IID_IOrrelRecordDrawer = {0x5F4C7C0A, 0x6C8E, 0x4B7B, {0x9B, 0x1F, 0x2D, 0x1E, 0x6A, 0x0C, 0x9A, 0x31}};

namespace OrrelDraw {
struct GuidelineInfo;
}

struct IOrrelRecordDrawer : IUnknown {
    virtual HRESULT SetRecordDataPixMap(unsigned int number, IRecordDataPixMap* map) = 0;
    virtual HRESULT OnPositionChange(OrrelDrawPosFlags flags, const tagRECT* rect) = 0;
    virtual HRESULT GetLayer(long* layer) const = 0;
    virtual HRESULT GetInfo(unsigned int request, unsigned int* flags, int* left, int* right, TDC* dc) const = 0;
    virtual HRESULT GetChannel(TChannelId* channel) const = 0;
    virtual HRESULT GetUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits) const = 0;
    virtual HRESULT GetUnitsConversion(int record, IUnitsConversion** units) const = 0;
    virtual HRESULT OnScalingChanged(long scaleId, unsigned int dragId, const DataScaling* scaling, IScale* scale) = 0;
    virtual HRESULT Revert(TOrrelDrawNeedsUpdateFlags flags) = 0;
    virtual HRESULT DrawInRecord(TDC& dc, long long start, long long end, TPixPosition pix, int x, const tagRECT* clip,
                                 OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                                 const KVDDataTimeInfo* time) = 0;
    virtual HRESULT PrepareForSampling(unsigned int block) = 0;
    virtual HRESULT OnRecordStart(unsigned int record, AutoBool online) = 0;
    virtual HRESULT Update(long long start, long long count, long long* latest) = 0;
    virtual HRESULT OnRecordEnd(unsigned int record, BlockUpdateType* update) = 0;
    virtual HRESULT CleanUpAfterSampling(AutoBool flag) = 0;
    virtual HRESULT OnEvent(unsigned int id, void* data) = 0;
    virtual HRESULT GetRange(BlockDataType type, long scaleId, KVDPosition from, KVDPosition to,
                             ChannelYDataRange* range) const = 0;
    virtual HRESULT GetScaleId(long* scaleId) const = 0;
    virtual HRESULT ReleaseEnums(unsigned int flags) = 0;
    virtual HRESULT GetYRangeForXUnitsRange(BlockDataType type, long scaleId, int side, const DoubleRange* x,
                                            ChannelYDataRange* range) const = 0;
    virtual HRESULT OnBeginRevert(TOrrelDrawNeedsUpdateFlags flags) = 0;
    virtual HRESULT GetUserChannel(TChannelId* channel) = 0;
    virtual HRESULT SetPaneIndex(unsigned int flags, int index) = 0;
    virtual HRESULT OnDisplayInfoChanged(const IChannelDisplaySettings2* settings, IUnknown* source, int channel) = 0;
    virtual HRESULT GetPrefixedUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits,
                                         DataScaling* scaling, DataMaxMin* maxMin, double* factor) const = 0;
    virtual HRESULT SetDataPane(IDrawerDataPane* pane) = 0;
    virtual HRESULT Clone(OrrelDrawerFlags flags, IOrrelRecordDrawer** out) const = 0;
    virtual HRESULT SetScalingMode(RecDrawScalingModeFlags mode) = 0;
    virtual const OrrelDraw::GuidelineInfo* GetGuidelineInfo() const = 0;
};
KVD_INTERFACE_ID(IOrrelRecordDrawer, IID_IOrrelRecordDrawer);

// The least and greatest value a channel's storage can hold.
struct DataMaxMin {
    double maximum;
    double minimum;
};
struct DoubleRange {
    double from;
    double to;
};
