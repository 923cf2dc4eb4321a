// The host's validated number field: a text field, with an optional slider and stepper kept
// in step with it, limits, and an error provider beside the field that shows why the text is
// not valid. The helper tells its delegate of each valid change the user makes.
#pragma once

#include <limits>
#include <string>

#include "appkit/NotificationCenter.h"
#include "appkit/Slider.h"
#include "appkit/TextField.h"

// A mark beside a field: empty while the field is valid, a red sign carrying the reason
// (as its tool tip) while it is not.
class KVDErrorProvider : public AppKit::Control {
public:
    using AppKit::Control::Control;
    const char* ClassName() const override { return "KVDErrorProvider"; }
    const std::string& Error() const { return ToolTip(); }
    bool HasError() const { return !ToolTip().empty(); }
    void SetError(const std::string& text) { SetToolTip(text), SetNeedsDisplay(); }
    void ClearError() { SetError({}); }
    void DrawSelf(Gfx::Context& context) override;
};

class KVDNumberEditHelper : public AppKit::Responder {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void NumberEditHelperValueDidChange(KVDNumberEditHelper& helper) = 0;
    };

    // Any of slider, stepper and error provider may be null.
    KVDNumberEditHelper(AppKit::TextField* field, AppKit::Slider* slider, AppKit::Stepper* stepper,
                        KVDErrorProvider* errorProvider);
    KVDNumberEditHelper(AppKit::TextField* field, KVDErrorProvider* errorProvider)
        : KVDNumberEditHelper(field, nullptr, nullptr, errorProvider) {}
    KVDNumberEditHelper(AppKit::TextField* field, AppKit::Stepper* stepper, KVDErrorProvider* errorProvider)
        : KVDNumberEditHelper(field, nullptr, stepper, errorProvider) {}
    ~KVDNumberEditHelper() override;
    KVDNumberEditHelper(const KVDNumberEditHelper&) = delete;
    KVDNumberEditHelper& operator=(const KVDNumberEditHelper&) = delete;

    // No limits until set.
    void SetMinValue(double value) { mMin = value; }
    void SetMaxValue(double value) { mMax = value; }
    double MinValue() const { return mMin; }
    double MaxValue() const { return mMax; }
    void SetDelegate(Delegate* delegate) { mDelegate = delegate; }
    // A helper that does not validate is always valid and shows no error.
    void SetValidating(bool on);
    bool IsValidating() const { return mValidating; }

    // The field holds a number within the limits (or the helper does not validate).
    bool IsValid() const { return Problem().empty(); }
    // Why the field is not valid; empty when it is.
    std::string Problem() const;
    // Shows the field's validity in the error provider; answers IsValid.
    bool Validate();

    double DoubleValue() const { return mField->DoubleValue(); }
    // Set by the program: field, slider and stepper show the value; the delegate hears nothing.
    void SetDoubleValue(double value);
    void SetStringValue(const std::string& text);
    AppKit::TextField* Field() const { return mField; }
    KVDErrorProvider* ErrorProvider() const { return mErrors; }

    // The slider's and stepper's actions.
    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

private:
    // The user typed: show the state; a valid value moves slider and stepper and is told.
    void FieldChanged();
    void ShowInControls(double value);
    void Told();

    AppKit::TextField* mField;
    AppKit::Slider* mSlider;
    AppKit::Stepper* mStepper;
    KVDErrorProvider* mErrors;
    Delegate* mDelegate = nullptr;
    double mMin = -std::numeric_limits<double>::infinity();
    double mMax = std::numeric_limits<double>::infinity();
    bool mValidating = true;
    AppKit::ObserverToken mTyping;
};
