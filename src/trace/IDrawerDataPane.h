// What record drawers and child panes ask of their data pane: the channel, units and scaling of
// a scale, the resolution of the device they draw on, the background, and invalidation.
#pragma once

#include "IUnknown.h"
#include "foundation/draw/TDC.h"
#include "trace/DrawerTypes.h"

struct IScale;
struct IAutoKVDString;
struct DataMaxMin;

// 9E2B1D47-3F60-4C2A-8E55-71B0C4D2F813
inline constexpr _IID IID_IDrawerDataPane = {0x9E2B1D47, 0x3F60, 0x4C2A, {0x8E, 0x55, 0x71, 0xB0, 0xC4, 0xD2, 0xF8, 0x13}};

// The pixels per millimetre every context is taken to have.
constexpr double kPixelsPerMillimetre = 3.7795276158179276;

struct IDrawerDataPane : IUnknown {
    virtual HRESULT GetScaleChan(int pane, int record, TChannelId* channel) = 0;
    virtual HRESULT GetPaneDragScale(int pane, int side, IScale** scale) = 0;
    virtual HRESULT GetUnitsForScale(int pane, int side, uint32_t mode, int block, IAutoKVDString** units,
                                     DataScaling* scaling, TChannelId* channel, DataMaxMin* maxMin, double* factor) = 0;
    virtual HRESULT GetScalingMode(int pane, RecDrawScalingModeFlags* mode) = 0;
    virtual HRESULT GetFlags(RecDrawScalingModeFlags* mode, uint32_t* misc) = 0;
    virtual HRESULT GetReferenceDC(int record, TDC** dc) = 0;
    virtual double GetXPixelsPermm() = 0;
    virtual double GetYPixelsPermm() = 0;
    virtual HRESULT GetAnyReferenceDCPixelRatio(int record, double* x, double* y) = 0;
    virtual HRESULT AreDrawingHiRes(int record, bool* hiRes) = 0;
    virtual HRESULT SetLayerAlpha(int record, int pane, int layerCode, int alpha) = 0;
    virtual HRESULT SetLayerAlphaRect(int record, int pane, int layerCode, const TRect* rect) = 0;
    virtual HRESULT GetDataClientRect(int flags, TRect* rect) = 0;
    virtual HRESULT InvalidateRect(int flags, const TRect* rect) = 0;
    virtual HRESULT IsPreparedForSamplingHR() = 0;
    virtual HRESULT IsOnlineDrawingLatestHR() = 0;
    virtual HRESULT GetBackgroundColor(uint32_t* rgb) = 0;
    virtual HRESULT AdjustColorForBackground(uint32_t rgb, uint32_t* out) = 0;
};
KVD_INTERFACE_ID(IDrawerDataPane, IID_IDrawerDataPane);
