// The host's vertical scale of a channel pane: a value range (high end first) over the pane's
// height, the unit text, horizontal grid lines on a 1-2-5 step, labels drawn in a band beside
// the pane, a trace indicator, and drags and auto-scales told to the panes that observe it.
#pragma once

#include <string>
#include <vector>

#include "DataScaling.h"
#include "IScale.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

namespace Host {

class DragScale final : public KVD::detail::CountedUnknown<IScale, IScaleEx, IDragScale> {
public:
    // A new scale with one reference, ranging 1 to -1.
    static DragScale* Create(int32_t offset, int32_t side, DragScaleStyle style);

    // IScale
    HRESULT SetRange(double top, double bottom) override;
    HRESULT GetRange(double* top, double* bottom) override;
    HRESULT SetDefaultRange(double top, double bottom) override;
    HRESULT SetUnitsText(const wchar_t* text) override;
    HRESULT GetUnitsText(IAutoKVDString** text) override;
    HRESULT SetDataScaling(const DataScaling* scaling) override;
    HRESULT GetDataScaling(DataScaling* scaling) override;
    HRESULT GetPixelScaling(int32_t height, double* factor, double* offset) override;
    HRESULT GetGridStartAndSpacing(double* start, double* spacing) override;
    HRESULT SetPosition(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    HRESULT GetWidth(uint32_t request, void* dc, int32_t* width) override;
    HRESULT Draw(void* dc) override;

    // IScaleEx
    HRESULT SetMaxMin(double maximum, double minimum) override;
    HRESULT SetScalingMode(uint32_t mode) override;

    // IDragScale
    HRESULT AutoScale() override;
    HRESULT SetTraceIndicator(AutoBool show, uint32_t rgb, int32_t id) override;
    HRESULT Advise(IDragScaleObserver* observer, long side) override;
    HRESULT Unadvise(IDragScaleObserver* observer) override;
    HRESULT SetUnitsFound(AutoBool found) override;
    HRESULT CloneScale(IScale** out) override;

    // The value step between grid lines: 1-2-5 so that lines lie at least 30 pixels apart.
    double GridStep() const;
    // Top-down pane pixels: y = (v + offset) × scale over the scale's height.
    DataScaling TracePixelScaling() const;
    bool IndicatorShown() const { return mIndicatorShown; }
    uint32_t IndicatorColour() const { return mIndicatorRgb; }

private:
    // A label at a grid line: its y (top-down, in the coordinates of the position) and text.
    struct Label {
        int32_t y;
        std::wstring text;
    };

    DragScale(int32_t offset, int32_t side, DragScaleStyle style);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    std::vector<Label> Labels();
    void NotifyScalingChanged();
    int32_t Height() const { return mBottom - mTop; }

    struct Observer {
        KVD::COMPtr<IDragScaleObserver> observer;
        long side;
    };
    int32_t mOffset;
    int32_t mSide;
    DragScaleStyle mStyle;
    double mRangeTop = 1.0, mRangeBottom = -1.0;
    double mDefaultTop = 1.0, mDefaultBottom = -1.0;
    double mMaximum = 0.0, mMinimum = 0.0;
    uint32_t mScalingMode = 0;
    KVD::String mUnits;
    DataScaling mDataScaling{1.0, 0.0};
    int32_t mLeft = 0, mTop = 0, mRight = 0, mBottom = 0;
    bool mIndicatorShown = false;
    uint32_t mIndicatorRgb = 0;
    int32_t mIndicatorId = 0;
    bool mUnitsFound = false;
    int32_t mScreenWidth = -1;  // measured on the screen; -1 when the labels changed since
    std::vector<Observer> mObservers;
};

}  // namespace Host
