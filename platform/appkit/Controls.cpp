// How the standard controls of the view model take clicks and keep their values.
#include "appkit/View.h"

#include "appkit/Alert.h"
#include "appkit/Menu.h"

namespace AppKit {

bool Control::SendAction()
{
    return mTarget != nullptr && !mAction.empty() && mTarget->RespondsTo(mAction) && mTarget->Perform(mAction, this);
}

void Control::MouseDown(const Event& e)
{
    if (mEnabled)
        View::MouseDown(e);
}

bool Button::PerformClick()
{
    if (!IsEnabled())
        return false;
    switch (mType) {
    case Type::Switch:
    case Type::OnOff:
        mState = mState == kOn ? kOff : kOn;
        break;
    case Type::Radio:
        mState = kOn;
        break;
    case Type::Push:
        break;
    }
    SetNeedsDisplay();
    return SendAction() || mType != Type::Push;
}

void Button::MouseDown(const Event&)
{
    if (IsEnabled())
        mHighlighted = true;
}

void Button::MouseUp(const Event& e)
{
    if (!mHighlighted)
        return;
    mHighlighted = false;
    if (ContainsPoint(ConvertPointFromWindow(e.locationInWindow)))
        PerformClick();
}

PopUpButton::PopUpButton(Rect frame) : Control(frame), mItems(std::make_shared<Menu>()) {}

MenuItem& PopUpButton::AddItem(const std::string& title, int tag)
{
    MenuItem& item = mItems->Add(std::make_unique<MenuItem>(title, "", ""));
    item.SetTag(tag);
    if (mSelected < 0 && !mPullsDown)
        mSelected = 0;  // the first item of a pop-up shows at once
    return item;
}

void PopUpButton::RemoveAllItems()
{
    while (mItems->ItemCount() > 0)
        mItems->RemoveAt(mItems->ItemCount() - 1);
    mSelected = -1;
}

size_t PopUpButton::ItemCount() const { return mItems->ItemCount(); }

std::vector<std::string> PopUpButton::Items() const
{
    std::vector<std::string> titles;
    for (size_t i = 0; i < mItems->ItemCount(); ++i)
        titles.push_back(mItems->ItemAt(i).Title());
    return titles;
}

MenuItem* PopUpButton::ItemAt(long index) const
{
    return index >= 0 && size_t(index) < mItems->ItemCount() ? &mItems->ItemAt(size_t(index)) : nullptr;
}

long PopUpButton::IndexOfSelectedItem() const { return ItemAt(mSelected) != nullptr ? mSelected : -1; }

int PopUpButton::SelectedTag() const
{
    const MenuItem* item = SelectedItem();
    return item ? item->Tag() : -1;
}

std::string PopUpButton::TitleOfSelectedItem() const
{
    const MenuItem* item = SelectedItem();
    return item ? item->Title() : std::string();
}

long PopUpButton::IndexOfItemWithTag(int tag) const
{
    for (size_t i = 0; i < mItems->ItemCount(); ++i)
        if (mItems->ItemAt(i).Tag() == tag)
            return long(i);
    return -1;
}

long PopUpButton::IndexOfItemWithTitle(const std::string& title) const
{
    for (size_t i = 0; i < mItems->ItemCount(); ++i)
        if (mItems->ItemAt(i).Title() == title)
            return long(i);
    return -1;
}

void PopUpButton::SelectItemAt(long index)
{
    if (index >= -1 && index < long(mItems->ItemCount()))
        mSelected = index;
}

bool PopUpButton::SelectItemWithTag(int tag)
{
    mSelected = IndexOfItemWithTag(tag);
    return mSelected >= 0;
}

bool PopUpButton::PickItemAt(long index)
{
    if (!IsEnabled() || ItemAt(index) == nullptr)
        return false;
    mSelected = index;
    return SendAction();
}

void PopUpButton::MouseDown(const Event&)
{
    if (!IsEnabled())
        return;
    MenuItem* chosen = AlertPresenter::Shared().ChooseFromMenu(*mItems);
    if (chosen == nullptr)
        return;
    for (size_t i = 0; i < mItems->ItemCount(); ++i)
        if (&mItems->ItemAt(i) == chosen) {
            PickItemAt(long(i));
            return;
        }
    chosen->Invoke();  // an item of a submenu
}

Scroller::Part Scroller::TestPart(const Gfx::Point& p) const
{
    if (!ContainsPoint(p))
        return Part::None;
    const double length = IsVertical() ? Frame().height : Frame().width;
    const double at = Along(p);
    if (at < kArrowLength)
        return Part::DecrementLine;
    if (at >= length - kArrowLength)
        return Part::IncrementLine;
    if (mKnob >= 1)
        return Part::KnobSlot;  // no knob: all of the track scrolls nothing
    const Rect knob = KnobRect();
    const double start = IsVertical() ? knob.y : knob.x;
    const double end = start + (IsVertical() ? knob.height : knob.width);
    return at < start ? Part::DecrementPage : at >= end ? Part::IncrementPage : Part::Knob;
}

Rect Scroller::KnobRect() const
{
    const double track = (IsVertical() ? Frame().height : Frame().width) - 2 * kArrowLength;
    const double knob = track * mKnob;
    const double start = kArrowLength + (track - knob) * mValue;
    return IsVertical() ? Rect{2, start, Frame().width - 4, knob} : Rect{start, 2, knob, Frame().height - 4};
}

void Scroller::MouseDown(const Event& e)
{
    if (!IsEnabled())
        return;
    const Gfx::Point p = ConvertPointFromWindow(e.locationInWindow);
    mHitPart = TestPart(p);
    if (mHitPart == Part::Knob) {
        const Rect knob = KnobRect();
        mGrab = Along(p) - (IsVertical() ? knob.y : knob.x);
    }
    if (mHitPart != Part::None)
        SendAction();
}

void Scroller::MouseDragged(const Event& e)
{
    if (mHitPart != Part::Knob)
        return;
    const double track = (IsVertical() ? Frame().height : Frame().width) - 2 * kArrowLength;
    const double travel = track * (1 - mKnob);
    if (travel <= 0)
        return;
    SetValue((Along(ConvertPointFromWindow(e.locationInWindow)) - mGrab - kArrowLength) / travel);
    SendAction();
}

}  // namespace AppKit
