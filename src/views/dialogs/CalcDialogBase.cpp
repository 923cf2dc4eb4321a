#include "views/dialogs/CalcDialogBase.h"

#include "appkit/Menu.h"

namespace Spirometry {

CalcDialogBase::CalcDialogBase(const std::string& nibName)
{
    InitWithWindowNibName(nibName);
}

void CalcDialogBase::AddItemToPopup(AppKit::PopUpButton& popUp, const KVD::String& title, int tag)
{
    popUp.AddItem(KVD::ToU8String(title), tag);
}

void CalcDialogBase::FillChannelPopup(AppKit::PopUpButton& popUp, const std::vector<KVD::String>& names)
{
    int tag = 0;
    for (const KVD::String& name : names)
        AddItemToPopup(popUp, name, tag++);
}

std::shared_ptr<AppKit::NumberFormatter> CalcDialogBase::MakeNumberFormatter()
{
    auto formatter = std::make_shared<AppKit::NumberFormatter>();
    formatter->SetStyle(AppKit::NumberFormatter::Style::Decimal);
    formatter->SetMaximumFractionDigits(4);
    return formatter;
}

std::unique_ptr<KVDNumberEditHelper> CalcDialogBase::MakeHelper(AppKit::TextField* field, KVDErrorProvider* errors,
                                                                double minimum, double maximum)
{
    return MakeHelper(field, nullptr, nullptr, errors, minimum, maximum);
}

std::unique_ptr<KVDNumberEditHelper> CalcDialogBase::MakeHelper(AppKit::TextField* field, AppKit::Slider* slider,
                                                                AppKit::Stepper* stepper, KVDErrorProvider* errors,
                                                                double minimum, double maximum)
{
    auto helper = std::make_unique<KVDNumberEditHelper>(field, slider, stepper, errors);
    helper->SetDelegate(this);
    helper->SetMinValue(minimum);
    helper->SetMaxValue(maximum);
    AddValidationHelper(helper.get());
    field->SetFormatter(MakeNumberFormatter());
    return helper;
}

double NumberOr(const KVDNumberEditHelper& helper, double fallback)
{
    double value = 0;
    if (helper.Field() != nullptr && helper.Field()->HoldsNumber(&value) && value >= helper.MinValue() &&
        value <= helper.MaxValue())
        return value;
    return fallback;
}

bool IsOn(const AppKit::Button* button)
{
    return button->GetState() == AppKit::Button::kOn;
}

void SetOn(AppKit::Button* button, bool on)
{
    button->SetState(on ? AppKit::Button::kOn : AppKit::Button::kOff);
}

}  // namespace Spirometry
