// Text fields: a string (or, through a number formatter, a number) that the user edits
// with the field editor while the field is first responder. Typing changes the text at once
// (the field posts kTextDidChange); ending the edit (return, tab, or another view taking the
// keys) reformats a number through the formatter, posts kTextDidEndEditing and sends the
// action when the text changed.
#pragma once

#include <memory>
#include <string>

#include "appkit/NumberFormatter.h"
#include "appkit/View.h"

namespace AppKit {

class TextField : public Control {
public:
    static constexpr const char* kTextDidBeginEditing = "ControlTextDidBeginEditingNotification";
    static constexpr const char* kTextDidChange = "ControlTextDidChangeNotification";
    static constexpr const char* kTextDidEndEditing = "ControlTextDidEndEditingNotification";

    using Control::Control;
    const char* ClassName() const override { return "TextField"; }

    const std::string& StringValue() const { return mText; }
    void SetStringValue(const std::string& text);
    // Through the formatter when there is one; 0 when the text is no number.
    double DoubleValue() const;
    void SetDoubleValue(double value);
    int IntValue() const { return static_cast<int>(DoubleValue()); }
    // Whether the text reads as a number (through the formatter when there is one).
    bool HoldsNumber(double* value = nullptr) const;

    std::shared_ptr<NumberFormatter> Formatter() const { return mFormatter; }
    void SetFormatter(std::shared_ptr<NumberFormatter> formatter) { mFormatter = std::move(formatter); }
    bool IsEditable() const { return mEditable; }
    void SetEditable(bool editable) { mEditable = editable; }
    const std::string& Placeholder() const { return mPlaceholder; }
    void SetPlaceholder(const std::string& text) { mPlaceholder = text; }
    const Gfx::Color& TextColor() const { return mTextColor; }
    void SetTextColor(const Gfx::Color& color) { mTextColor = color; }

    bool IsEditing() const { return mEditing; }
    // The field editor's selection: the caret when its length is 0. Byte offsets.
    size_t SelectionStart() const { return mSelStart; }
    size_t SelectionLength() const { return mSelLength; }
    void SelectAll() { mSelStart = 0, mSelLength = mText.size(); }

    bool AcceptsFirstResponder() const override { return mEditable && IsEnabled(); }
    bool BecomeFirstResponder() override;
    bool ResignFirstResponder() override;
    void MouseDown(const Event& e) override;
    void KeyDown(const Event& e) override;
    void DrawSelf(Gfx::Context& context) override;

private:
    void Insert(const std::string& text);
    void DeleteBackward();
    void TextDidChange();
    // Ends the edit as return or leaving does; the field stays first responder on return.
    void EndEditing();

    std::string mText;
    std::shared_ptr<NumberFormatter> mFormatter;
    bool mEditable = true;
    std::string mPlaceholder;
    Gfx::Color mTextColor{0, 0, 0, 1};
    bool mEditing = false;
    std::string mTextAtStart;
    size_t mSelStart = 0, mSelLength = 0;
};

}  // namespace AppKit
