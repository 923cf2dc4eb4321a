// Controls of a number in a range: a slider (drag the knob along the track) and a stepper
// (click its upper half to go up by the increment, its lower half to go down).
#pragma once

#include "appkit/View.h"

namespace AppKit {

class Slider : public Control {
public:
    using Control::Control;
    const char* ClassName() const override { return "Slider"; }
    double MinValue() const { return mMin; }
    void SetMinValue(double v) { mMin = v; }
    double MaxValue() const { return mMax; }
    void SetMaxValue(double v) { mMax = v; }
    double DoubleValue() const { return mValue; }
    // Kept within the range.
    void SetDoubleValue(double v);
    // A continuous slider sends its action while dragged, otherwise on release.
    bool IsContinuous() const { return mContinuous; }
    void SetContinuous(bool on) { mContinuous = on; }
    bool IsVertical() const { return Frame().height > Frame().width; }

    void MouseDown(const Event& e) override;
    void MouseDragged(const Event& e) override;
    void MouseUp(const Event& e) override;
    void DrawSelf(Gfx::Context& context) override;

    static constexpr double kKnobSize = 10;

private:
    // The value at a point of the slider's coordinates.
    void TrackTo(const Event& e);
    double mMin = 0, mMax = 1, mValue = 0;
    bool mContinuous = true;
    bool mTracking = false;
};

class Stepper : public Control {
public:
    using Control::Control;
    const char* ClassName() const override { return "Stepper"; }
    double MinValue() const { return mMin; }
    void SetMinValue(double v) { mMin = v; }
    double MaxValue() const { return mMax; }
    void SetMaxValue(double v) { mMax = v; }
    double Increment() const { return mIncrement; }
    void SetIncrement(double v) { mIncrement = v; }
    bool ValueWraps() const { return mWraps; }
    void SetValueWraps(bool on) { mWraps = on; }
    double DoubleValue() const { return mValue; }
    void SetDoubleValue(double v);
    // One step up or down as a click does: the value changes and the action is sent.
    void StepUp() { Step(+1); }
    void StepDown() { Step(-1); }

    void MouseDown(const Event& e) override;
    void DrawSelf(Gfx::Context& context) override;

private:
    void Step(int direction);
    double mMin = 0, mMax = 59, mIncrement = 1, mValue = 0;
    bool mWraps = false;
};

}  // namespace AppKit
