#include "appkit/TextField.h"

#include "appkit/NotificationCenter.h"
#include "appkit/Window.h"

namespace AppKit {
namespace {

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Keys the field editor does not insert as text: controls and the private-use function keys.
bool IsTypedText(const std::string& chars)
{
    if (chars.empty() || static_cast<unsigned char>(chars[0]) < 0x20 || chars[0] == 0x7f)
        return false;
    return chars.compare(0, 2, "\xEF\x9C") != 0;
}

}  // namespace

void TextField::SetStringValue(const std::string& text)
{
    mText = text;
    mSelStart = mText.size();
    mSelLength = 0;
    if (mEditing)
        mTextAtStart = mText;  // set by the program, not typed: no change to report
    SetNeedsDisplay();
}

bool TextField::HoldsNumber(double* value) const
{
    NumberFormatter plain;
    plain.SetDecimalSeparator(".");
    double parsed = 0;
    const bool ok = mFormatter ? mFormatter->NumberFromString(mText, &parsed) : plain.NumberFromString(mText, &parsed);
    if (ok && value != nullptr)
        *value = parsed;
    return ok;
}

double TextField::DoubleValue() const
{
    double value = 0;
    return HoldsNumber(&value) ? value : 0;
}

void TextField::SetDoubleValue(double value)
{
    if (mFormatter) {
        SetStringValue(mFormatter->StringFromNumber(value));
        return;
    }
    NumberFormatter plain;
    plain.SetDecimalSeparator(".");
    plain.SetMaximumFractionDigits(15);
    SetStringValue(plain.StringFromNumber(value));
}

bool TextField::BecomeFirstResponder()
{
    mEditing = true;
    mTextAtStart = mText;
    SelectAll();  // tabbing in selects the whole text
    NotificationCenter::Default().Post(kTextDidBeginEditing, this);
    return true;
}

bool TextField::ResignFirstResponder()
{
    if (mEditing) {
        EndEditing();
        mEditing = false;
    }
    return true;
}

void TextField::EndEditing()
{
    double value = 0;
    if (mFormatter && mFormatter->NumberFromString(mText, &value))
        mText = mFormatter->StringFromNumber(value);
    const bool changed = mText != mTextAtStart;
    mTextAtStart = mText;
    mSelStart = mText.size();
    mSelLength = 0;
    NotificationCenter::Default().Post(kTextDidEndEditing, this);
    if (changed)
        SendAction();
}

void TextField::MouseDown(const Event&)
{
    // The window made the field first responder; a click puts the caret at the end.
    if (mEditing) {
        mSelStart = mText.size();
        mSelLength = 0;
    }
}

void TextField::Insert(const std::string& text)
{
    mText.replace(mSelStart, mSelLength, text);
    mSelStart += text.size();
    mSelLength = 0;
    TextDidChange();
}

void TextField::DeleteBackward()
{
    if (mSelLength == 0) {
        if (mSelStart == 0)
            return;
        size_t from = mSelStart - 1;
        while (from > 0 && IsUtf8Continuation(mText[from]))
            --from;
        mSelLength = mSelStart - from;
        mSelStart = from;
    }
    mText.erase(mSelStart, mSelLength);
    mSelLength = 0;
    TextDidChange();
}

void TextField::TextDidChange()
{
    SetNeedsDisplay();
    NotificationCenter::Default().Post(kTextDidChange, this);
}

void TextField::KeyDown(const Event& e)
{
    if (!mEditing) {
        Control::KeyDown(e);
        return;
    }
    const std::string& c = e.characters;
    if (e.Has(kCommandKeyMask) && c == "a") {
        SelectAll();
    } else if (c == Key::kReturn) {
        EndEditing();
    } else if (c == Key::kBackspace) {
        DeleteBackward();
    } else if (c == Key::kLeftArrow || c == Key::kRightArrow) {
        const bool left = c == Key::kLeftArrow;
        size_t at = mSelLength > 0 ? (left ? mSelStart : mSelStart + mSelLength) : mSelStart;
        if (mSelLength == 0) {
            if (left && at > 0)
                do --at; while (at > 0 && IsUtf8Continuation(mText[at]));
            else if (!left && at < mText.size())
                do ++at; while (at < mText.size() && IsUtf8Continuation(mText[at]));
        }
        mSelStart = at;
        mSelLength = 0;
    } else if (IsTypedText(c) && !e.Has(kCommandKeyMask) && !e.Has(kControlKeyMask)) {
        Insert(c);
    } else {
        Control::KeyDown(e);  // tab, escape and the rest go on
    }
}

}  // namespace AppKit
