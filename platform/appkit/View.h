// The headless widget model: views with frames and subviews, controls that send actions to
// their targets, push buttons, labels and table views.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "appkit/Responder.h"
#include "graphics/Color.h"
#include "graphics/Context.h"
#include "graphics/Geometry.h"

namespace AppKit {

class Window;

// Frames in points, origin at the top left of the superview, y growing downwards.
using Rect = Gfx::Rect;

class View : public Responder {
public:
    explicit View(Rect frame = {}) : mFrame(frame) {}
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    virtual const char* ClassName() const { return "View"; }

    const Rect& Frame() const { return mFrame; }
    void SetFrame(const Rect& frame) { mFrame = frame; }
    Rect Bounds() const { return {0, 0, mFrame.width, mFrame.height}; }
    // The part not hidden, in the view's own coordinates: its bounds, or nothing when hidden.
    Rect VisibleRect() const { return IsHidden() ? Rect{} : Bounds(); }

    const std::string& Identifier() const { return mIdentifier; }
    void SetIdentifier(const std::string& identifier) { mIdentifier = identifier; }
    bool IsHidden() const { return mHidden; }
    void SetHidden(bool hidden) { mHidden = hidden; }

    View* Superview() const { return mSuperview; }
    View& AddSubview(std::unique_ptr<View> view);
    const std::vector<std::unique_ptr<View>>& Subviews() const { return mSubviews; }
    // This view or the first view below it (depth first) with the identifier, or null.
    View* FindView(const std::string& identifier);

    // The window whose content holds this view, or null.
    Window* GetWindow() const;

    bool RespondsTo(const std::string&) const override { return false; }
    bool Perform(const std::string&, void*) override { return false; }

    // Draws the view and, above it, its visible subviews; the context's user space is the
    // superview's (top-down). Hidden views draw nothing.
    void Display(Gfx::Context& context) const;
    // The view's own drawing in its own coordinates; nothing by default.
    virtual void DrawSelf(Gfx::Context&) const {}

    // A PDF page of the rectangle (in the view's coordinates) as the view draws it.
    std::string DataWithPDFInsideRect(const Rect& rect) const;

private:
    friend class Window;
    Rect mFrame;
    std::string mIdentifier;
    bool mHidden = false;
    View* mSuperview = nullptr;
    Window* mWindow = nullptr;  // set on the content view only
    std::vector<std::unique_ptr<View>> mSubviews;
};

class Control : public View {
public:
    using View::View;
    const char* ClassName() const override { return "Control"; }

    Responder* Target() const { return mTarget; }
    void SetTarget(Responder* target) { mTarget = target; }
    const std::string& Action() const { return mAction; }
    void SetAction(const std::string& action) { mAction = action; }
    bool IsEnabled() const { return mEnabled; }
    void SetEnabled(bool enabled) { mEnabled = enabled; }
    int Tag() const { return mTag; }
    void SetTag(int tag) { mTag = tag; }

    // Sends the action to the target, as a click or an edit does; false when nothing answers.
    bool SendAction();

private:
    Responder* mTarget = nullptr;
    std::string mAction;
    bool mEnabled = true;
    int mTag = 0;
};

class Button : public Control {
public:
    using Control::Control;
    const char* ClassName() const override { return "Button"; }
    const std::string& Title() const { return mTitle; }
    void SetTitle(const std::string& title) { mTitle = title; }
    // A click: only an enabled button sends its action.
    bool PerformClick() { return IsEnabled() && SendAction(); }
    void DrawSelf(Gfx::Context& context) const override;

private:
    std::string mTitle;
};

class Label : public Control {
public:
    using Control::Control;
    const char* ClassName() const override { return "Label"; }
    const std::string& Text() const { return mText; }
    void SetText(const std::string& text) { mText = text; }
    const Gfx::Color& TextColor() const { return mTextColor; }
    void SetTextColor(const Gfx::Color& color) { mTextColor = color; }
    void DrawSelf(Gfx::Context& context) const override;

    static constexpr Gfx::Color kControlTextColor{0, 0, 0, 1};
    static constexpr Gfx::Color kDisabledControlTextColor{0.55, 0.55, 0.55, 1};

private:
    std::string mText;
    Gfx::Color mTextColor = kControlTextColor;
};

// A scroll bar: a position from 0 to 1 and the knob's share of the track.
class Scroller : public Control {
public:
    using Control::Control;
    const char* ClassName() const override { return "Scroller"; }
    double Value() const { return mValue; }
    void SetValue(double value) { mValue = value; }
    double KnobProportion() const { return mKnob; }
    void SetKnobProportion(double proportion) { mKnob = proportion; }
    void DrawSelf(Gfx::Context& context) const override;

private:
    double mValue = 0;
    double mKnob = 1;
};

class TableView : public View {
public:
    struct Column {
        std::string identifier;
        std::string title;
        double width = 100;
    };
    struct DataSource {
        std::function<size_t()> rowCount;
        std::function<std::string(size_t row, const std::string& column)> text;
    };

    using View::View;
    const char* ClassName() const override { return "TableView"; }

    void AddColumn(Column column) { mColumns.push_back(std::move(column)); }
    const std::vector<Column>& Columns() const { return mColumns; }
    void SetDataSource(DataSource source) { mSource = std::move(source); }
    size_t RowCount() const { return mSource.rowCount ? mSource.rowCount() : 0; }
    std::string CellText(size_t row, const std::string& column) const
    {
        return mSource.text && row < RowCount() ? mSource.text(row, column) : std::string();
    }
    double RowHeight() const { return mRowHeight; }
    void SetRowHeight(double height) { mRowHeight = height; }
    // -1 when no row is selected.
    long SelectedRow() const { return mSelected; }
    void SelectRow(long row) { mSelected = row >= 0 && size_t(row) < RowCount() ? row : -1; }
    // A header line of column titles, then one line per row as far as the frame reaches.
    void DrawSelf(Gfx::Context& context) const override;

private:
    std::vector<Column> mColumns;
    DataSource mSource;
    double mRowHeight = 18;
    long mSelected = -1;
};

}  // namespace AppKit
