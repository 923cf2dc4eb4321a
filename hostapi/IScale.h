// The host's vertical scales of a trace display: a scale maps the values of a channel to the
// pixels of a pane, carries the unit text, draws its labels, and is dragged and auto-scaled by
// the user; observers (the panes) hear of every change. The drag-scale class object (type 9 of
// GUID_OrrelObjects) makes them.
#pragma once

#include "IUnknown.h"

struct DataScaling;
struct IAutoKVDString;

// 6351CA69-1233-4116-AC0E-18E9DED3EB4E
inline constexpr _IID IID_IScale = {0x6351CA69, 0x1233, 0x4116, {0xAC, 0x0E, 0x18, 0xE9, 0xDE, 0xD3, 0xEB, 0x4E}};
// 667903AF-A59C-4C5F-8B3D-E4CE99B0B726
inline constexpr _IID IID_IScaleEx = {0x667903AF, 0xA59C, 0x4C5F, {0x8B, 0x3D, 0xE4, 0xCE, 0x99, 0xB0, 0xB7, 0x26}};
// 0AEA1D91-59DB-49A0-89D9-8E62A1155BC7
inline constexpr _IID IID_IDragScale = {0x0AEA1D91, 0x59DB, 0x49A0, {0x89, 0xD9, 0x8E, 0x62, 0xA1, 0x15, 0x5B, 0xC7}};
// 554F2BA1-0E47-4B00-89B5-0E86ACAE767D
inline constexpr _IID IID_IDragScaleObserver = {0x554F2BA1, 0x0E47, 0x4B00, {0x89, 0xB5, 0x0E, 0x86, 0xAC, 0xAE, 0x76, 0x7D}};
// 13C1A5F4-5C22-4AAA-9C09-FD978AB30555
inline constexpr _IID IID_IDragScaleClassObject = {0x13C1A5F4, 0x5C22, 0x4AAA, {0x9C, 0x09, 0xFD, 0x97, 0x8A, 0xB3, 0x05, 0x55}};

// Object type of GUID_OrrelObjects of the drag-scale class object.
constexpr unsigned kOrrelObject_DragScale = 9;

// A scale range: high end first; (0, 0) is not set.
struct ChannelYDataRange {
    double top;
    double bottom;
};

typedef uint32_t DragScaleStyle;
typedef uint32_t DragScaleDragType;

// Request of GetWidth: the width the scale's labels need.
constexpr uint32_t kScaleLabelWidth = 10;

struct IScale : IUnknown {
    virtual HRESULT SetRange(double top, double bottom) = 0;                               // slot 3
    virtual HRESULT GetRange(double* top, double* bottom) = 0;                             // slot 4
    virtual HRESULT SetDefaultRange(double top, double bottom) = 0;                        // slot 5
    virtual HRESULT SetUnitsText(const wchar_t* text) = 0;                                 // slot 6
    virtual HRESULT GetUnitsText(IAutoKVDString** text) = 0;                               // slot 7
    // The channel's value conversion the range is in (values = stored × scale + offset).
    virtual HRESULT SetDataScaling(const DataScaling* scaling) = 0;                        // slot 8
    virtual HRESULT GetDataScaling(DataScaling* scaling) = 0;                              // slot 9
    // Value to pixel for a pane of the height: y from the bottom = (v + offset) × factor.
    virtual HRESULT GetPixelScaling(int32_t height, double* factor, double* offset) = 0;  // slot 10
    // The first horizontal grid line and the spacing between lines, in pixels from the bottom.
    virtual HRESULT GetGridStartAndSpacing(double* start, double* spacing) = 0;            // slot 11
    virtual HRESULT SetPosition(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;  // slot 12
    // The width asked for (kScaleLabelWidth), measured in the context (a TDC*, may be null).
    virtual HRESULT GetWidth(uint32_t request, void* dc, int32_t* width) = 0;              // slot 13
    // Draws the scale at its position into the context (a TDC*).
    virtual HRESULT Draw(void* dc) = 0;                                                    // slot 14
};
KVD_INTERFACE_ID(IScale, IID_IScale);

struct IScaleEx : IUnknown {
    virtual HRESULT SetMaxMin(double maximum, double minimum) = 0;                         // slot 3
    virtual HRESULT SetScalingMode(uint32_t mode) = 0;                                     // slot 4
};
KVD_INTERFACE_ID(IScaleEx, IID_IScaleEx);

// What a scale tells the panes that observe it.
struct IDragScaleObserver : IUnknown {
    virtual HRESULT OnBeginDrag(long side, DragScaleDragType type) = 0;                    // slot 3
    virtual HRESULT OnEndDrag(long side, DragScaleDragType type) = 0;                      // slot 4
    virtual HRESULT OnScalingChanged(long side, unsigned int dragId, const DataScaling* scaling) = 0;  // slot 5
    virtual HRESULT OnAutoScaleCommand(long side) = 0;                                     // slot 6
    virtual HRESULT OnAutoScaleRequest(long side, ChannelYDataRange* range, AutoBool* unscaled) = 0;  // slot 7
};
KVD_INTERFACE_ID(IDragScaleObserver, IID_IDragScaleObserver);

struct IDragScale : IUnknown {
    // Asks the observers for the data range and takes it.
    virtual HRESULT AutoScale() = 0;                                                       // slot 3
    virtual HRESULT SetTraceIndicator(AutoBool show, uint32_t rgb, int32_t id) = 0;        // slot 4
    // The observer hears of changes, told as the side given.
    virtual HRESULT Advise(IDragScaleObserver* observer, long side) = 0;                   // slot 5
    virtual HRESULT Unadvise(IDragScaleObserver* observer) = 0;                            // slot 6
    virtual HRESULT SetUnitsFound(AutoBool found) = 0;                                     // slot 7
    // A copy of the scale that no one drags.
    virtual HRESULT CloneScale(IScale** out) = 0;                                          // slot 8
};
KVD_INTERFACE_ID(IDragScale, IID_IDragScale);

struct IDragScaleClassObject : IUnknown {
    virtual HRESULT CreateScale(int32_t offset, int32_t side, DragScaleStyle style, IScale** out) = 0;  // slot 3
};
KVD_INTERFACE_ID(IDragScaleClassObject, IID_IDragScaleClassObject);
