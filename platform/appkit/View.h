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
    void Display(Gfx::Context& context);
    // The view's own drawing in its own coordinates; nothing by default.
    virtual void DrawSelf(Gfx::Context&) {}

    // A PDF page of the rectangle (in the view's coordinates) as the view draws it.
    std::string DataWithPDFInsideRect(const Rect& rect);

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
    void DrawSelf(Gfx::Context& context) override;

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
    void DrawSelf(Gfx::Context& context) override;

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
    void DrawSelf(Gfx::Context& context) override;

private:
    double mValue = 0;
    double mKnob = 1;
};

class Menu;

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
    // What the table tells its delegate, after the change.
    struct Delegate {
        std::function<void(TableView&)> selectionDidChange;
        std::function<void(TableView&, size_t from, size_t to)> columnDidMove;
        std::function<void(TableView&)> boundsDidChange;  // scrolled
    };

    using View::View;
    const char* ClassName() const override { return "TableView"; }

    void AddColumn(Column column) { mColumns.push_back(std::move(column)); }
    const std::vector<Column>& Columns() const { return mColumns; }
    void RemoveColumnAt(size_t index);
    // Index of the first column with the identifier, or -1.
    long ColumnWithIdentifier(const std::string& identifier) const;
    void SetColumnWidth(size_t index, double width);
    // Moves a column as a drag does, and tells the delegate.
    void MoveColumn(size_t from, size_t to);

    void SetDataSource(DataSource source) { mSource = std::move(source); }
    void SetDelegate(Delegate delegate) { mDelegate = std::move(delegate); }
    size_t RowCount() const { return mSource.rowCount ? mSource.rowCount() : 0; }
    std::string CellText(size_t row, const std::string& column) const
    {
        return mSource.text && row < RowCount() ? mSource.text(row, column) : std::string();
    }
    double RowHeight() const { return mRowHeight; }
    void SetRowHeight(double height) { mRowHeight = height; }
    double FontSize() const { return mFontSize; }
    void SetFontSize(double size) { mFontSize = size; }
    // Without its header line the rows start at the top.
    bool HasHeader() const { return mHasHeader; }
    void SetHasHeader(bool has) { mHasHeader = has; }
    // -1 when no row is selected.
    long SelectedRow() const { return mSelected; }
    // Selects a row (-1 or a row out of range: none) and tells the delegate when it changed.
    void SelectRow(long row);

    // The top-left corner of the part shown, in the table's coordinates.
    const Gfx::Point& ScrollOrigin() const { return mScrollOrigin; }
    // Scrolls, and tells the delegate when the origin changed.
    void ScrollToPoint(const Gfx::Point& origin);

    // The menu of the table and its header; shared with whoever built it.
    std::shared_ptr<Menu> GetMenu() const { return mMenu; }
    void SetMenu(std::shared_ptr<Menu> menu) { mMenu = std::move(menu); }

    // A header line of column titles, then one line per row as far as the frame reaches.
    void DrawSelf(Gfx::Context& context) override;

private:
    std::vector<Column> mColumns;
    DataSource mSource;
    Delegate mDelegate;
    double mRowHeight = 18;
    double mFontSize = 12;
    bool mHasHeader = true;
    long mSelected = -1;
    Gfx::Point mScrollOrigin{0, 0};
    std::shared_ptr<Menu> mMenu;
};

// A pop-up button: a list of item titles, one of them selected, that sends its action when the
// user picks an item.
class PopUpButton : public Control {
public:
    using Control::Control;
    const char* ClassName() const override { return "PopUpButton"; }
    const std::string& Title() const { return mTitle; }
    void SetTitle(const std::string& title) { mTitle = title; }
    const std::string& ToolTip() const { return mToolTip; }
    void SetToolTip(const std::string& tip) { mToolTip = tip; }

    void AddItem(const std::string& title) { mItems.push_back(title); }
    const std::vector<std::string>& Items() const { return mItems; }
    // -1 when there is no item.
    long IndexOfSelectedItem() const { return mItems.empty() ? -1 : mSelected; }
    void SelectItemAt(long index);
    // The user picks an item: it is selected and the action sent.
    bool PickItemAt(long index);
    void DrawSelf(Gfx::Context& context) override;

private:
    std::string mTitle;
    std::string mToolTip;
    std::vector<std::string> mItems;
    long mSelected = 0;
};

}  // namespace AppKit
