#include "appkit/KVDNumberEditHelper.h"

#include <algorithm>
#include <cmath>

#include "appkit/Texts.h"

namespace {

constexpr const char* kSliderMoved = "_numberSliderMoved:";
constexpr const char* kStepperMoved = "_numberStepperMoved:";

}  // namespace

KVDNumberEditHelper::KVDNumberEditHelper(AppKit::TextField* field, AppKit::Slider* slider, AppKit::Stepper* stepper,
                                         KVDErrorProvider* errorProvider)
    : mField(field), mSlider(slider), mStepper(stepper), mErrors(errorProvider)
{
    if (mSlider) {
        mSlider->SetTarget(this);
        mSlider->SetAction(kSliderMoved);
    }
    if (mStepper) {
        mStepper->SetTarget(this);
        mStepper->SetAction(kStepperMoved);
    }
    if (mField)
        mTyping = AppKit::ObserverToken(AppKit::NotificationCenter::Default().AddObserver(
            AppKit::TextField::kTextDidChange, mField, [this](const AppKit::Notification&) { FieldChanged(); }));
}

KVDNumberEditHelper::~KVDNumberEditHelper()
{
    for (AppKit::Control* control : {static_cast<AppKit::Control*>(mSlider), static_cast<AppKit::Control*>(mStepper)})
        if (control != nullptr && control->Target() == this)
            control->SetTarget(nullptr);
}

void KVDNumberEditHelper::SetValidating(bool on)
{
    mValidating = on;
    Validate();
}

std::string KVDNumberEditHelper::Problem() const
{
    if (!mValidating || mField == nullptr)
        return {};
    double value = 0;
    if (!mField->HoldsNumber(&value))
        return AppKit::LocalizedText("IDS_NUMBER_EXPECTED");
    if (value >= mMin && value <= mMax)
        return {};
    AppKit::NumberFormatter plain;
    plain.SetMaximumFractionDigits(4);
    if (mField->Formatter())
        plain = *mField->Formatter();
    const bool low = std::isfinite(mMin), high = std::isfinite(mMax);
    if (low && high)
        return AppKit::LocalizedText("IDS_NUMBER_RANGE", {plain.StringFromNumber(mMin), plain.StringFromNumber(mMax)});
    return low ? AppKit::LocalizedText("IDS_NUMBER_MINIMUM", {plain.StringFromNumber(mMin)})
               : AppKit::LocalizedText("IDS_NUMBER_MAXIMUM", {plain.StringFromNumber(mMax)});
}

bool KVDNumberEditHelper::Validate()
{
    const std::string problem = Problem();
    if (mErrors)
        mErrors->SetError(problem);
    return problem.empty();
}

void KVDNumberEditHelper::ShowInControls(double value)
{
    if (mSlider)
        mSlider->SetDoubleValue(value);
    if (mStepper)
        mStepper->SetDoubleValue(value);
}

void KVDNumberEditHelper::SetDoubleValue(double value)
{
    if (mField)
        mField->SetDoubleValue(value);
    ShowInControls(value);
    Validate();
}

void KVDNumberEditHelper::SetStringValue(const std::string& text)
{
    if (mField)
        mField->SetStringValue(text);
    double value = 0;
    if (mField && mField->HoldsNumber(&value))
        ShowInControls(value);
    Validate();
}

void KVDNumberEditHelper::Told()
{
    if (mDelegate)
        mDelegate->NumberEditHelperValueDidChange(*this);
}

void KVDNumberEditHelper::FieldChanged()
{
    double value = 0;
    const bool number = mField->HoldsNumber(&value);
    if (number)
        ShowInControls(value);
    // The delegate hears of numbers it may use: within the limits.
    if (Validate() && number)
        Told();
}

bool KVDNumberEditHelper::RespondsTo(const std::string& selector) const
{
    return selector == kSliderMoved || selector == kStepperMoved;
}

bool KVDNumberEditHelper::Perform(const std::string& selector, void*)
{
    if (!RespondsTo(selector) || mField == nullptr)
        return false;
    const double value = selector == kSliderMoved ? mSlider->DoubleValue() : mStepper->DoubleValue();
    mField->SetDoubleValue(value);
    ShowInControls(value);
    Validate();
    Told();
    return true;
}

void KVDErrorProvider::DrawSelf(Gfx::Context& c)
{
    if (!HasError())
        return;
    // A red disc with a white "!", as big as the mark's frame allows.
    const double side = std::min(Frame().width, Frame().height);
    const AppKit::Rect disc{(Frame().width - side) / 2, (Frame().height - side) / 2, side, side};
    c.SetFillColor({0.85, 0.1, 0.1, 1});
    c.BeginPath();
    c.AddEllipse(disc);
    c.FillPath();
    const double size = side * 0.75;
    const Gfx::Size mark = c.MeasureText("!", size);
    c.DrawText({disc.x + (side - mark.width) / 2, disc.y + (side - mark.height) / 2}, "!", size, {1, 1, 1, 1}, true);
}
