#include "appkit/Slider.h"

#include <algorithm>

namespace AppKit {

void Slider::SetDoubleValue(double v)
{
    mValue = std::min(std::max(v, std::min(mMin, mMax)), std::max(mMin, mMax));
    SetNeedsDisplay();
}

void Slider::TrackTo(const Event& e)
{
    const Gfx::Point p = ConvertPointFromWindow(e.locationInWindow);
    const double length = (IsVertical() ? Frame().height : Frame().width) - kKnobSize;
    if (length <= 0)
        return;
    double share = ((IsVertical() ? Frame().height - p.y : p.x) - kKnobSize / 2) / length;
    share = std::min(std::max(share, 0.0), 1.0);
    SetDoubleValue(mMin + share * (mMax - mMin));
}

void Slider::MouseDown(const Event& e)
{
    if (!IsEnabled())
        return;
    mTracking = true;
    TrackTo(e);
    if (mContinuous)
        SendAction();
}

void Slider::MouseDragged(const Event& e)
{
    if (!mTracking)
        return;
    TrackTo(e);
    if (mContinuous)
        SendAction();
}

void Slider::MouseUp(const Event& e)
{
    if (!mTracking)
        return;
    mTracking = false;
    TrackTo(e);
    SendAction();
}

void Stepper::SetDoubleValue(double v)
{
    mValue = std::min(std::max(v, mMin), mMax);
    SetNeedsDisplay();
}

void Stepper::Step(int direction)
{
    if (!IsEnabled())
        return;
    double next = mValue + direction * mIncrement;
    if (mWraps && next > mMax)
        next = mMin;
    else if (mWraps && next < mMin)
        next = mMax;
    SetDoubleValue(next);
    SendAction();
}

void Stepper::MouseDown(const Event& e)
{
    const Gfx::Point p = ConvertPointFromWindow(e.locationInWindow);
    Step(p.y < Frame().height / 2 ? +1 : -1);
}

}  // namespace AppKit
