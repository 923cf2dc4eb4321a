// The headless widget model: views with frames and subviews that take the user's input as
// the window delivers it, controls that send actions to their targets, buttons, labels,
// scrollers, pop-up buttons and table views.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "appkit/Event.h"
#include "appkit/NamedImage.h"
#include "appkit/Responder.h"
#include "graphics/Color.h"
#include "graphics/Context.h"
#include "graphics/Geometry.h"

namespace AppKit {

class Menu;
class MenuItem;
class Window;

// Frames in points, in the superview's coordinates: origin at its top left, y growing
// downwards, unless the superview is unflipped.
using Rect = Gfx::Rect;

class View : public Responder {
public:
    // How a view follows a change of its superview's size: which of its margins and sizes
    // stretch. MinY is the margin on the side of the superview's y origin.
    enum AutoresizingMask : unsigned {
        kNotSizable = 0,
        kMinXMargin = 1,
        kWidthSizable = 2,
        kMaxXMargin = 4,
        kMinYMargin = 8,
        kHeightSizable = 16,
        kMaxYMargin = 32,
    };

    explicit View(Rect frame = {}) : mFrame(frame) {}
    ~View() override;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    virtual const char* ClassName() const { return "View"; }

    const Rect& Frame() const { return mFrame; }
    // Moves or resizes the view; a new size resizes the subviews by their masks.
    virtual void SetFrame(const Rect& frame);
    Rect Bounds() const { return {0, 0, mFrame.width, mFrame.height}; }
    // The part not hidden, in the view's own coordinates: its bounds, or nothing when hidden.
    Rect VisibleRect() const { return IsHidden() ? Rect{} : Bounds(); }
    unsigned GetAutoresizingMask() const { return mAutoresizing; }
    void SetAutoresizingMask(unsigned mask) { mAutoresizing = mask; }
    bool AutoresizesSubviews() const { return mAutoresizesSubviews; }
    void SetAutoresizesSubviews(bool on) { mAutoresizesSubviews = on; }

    // Flipped views (the default here) have their origin at the top left and y growing
    // downwards; an unflipped view has its origin at the bottom left, y growing upwards, and
    // places its subviews' frames from its bottom edge.
    virtual bool IsFlipped() const { return true; }

    const std::string& Identifier() const { return mIdentifier; }
    void SetIdentifier(const std::string& identifier) { mIdentifier = identifier; }
    bool IsHidden() const { return mHidden; }
    void SetHidden(bool hidden) { mHidden = hidden; }
    // Hidden itself or below a hidden view.
    bool IsHiddenOrHasHiddenAncestor() const;

    View* Superview() const { return mSuperview; }
    View& AddSubview(std::unique_ptr<View> view);
    // Takes the view out of its superview and hands it back; null when it has none.
    std::unique_ptr<View> RemoveFromSuperview();
    // Puts the new view where the old one was, in the same place of the subviews' order.
    void ReplaceSubview(View& old, std::unique_ptr<View> replacement);
    const std::vector<std::unique_ptr<View>>& Subviews() const { return mSubviews; }
    bool IsDescendantOf(const View& ancestor) const;
    // This view or the first view below it (depth first) with the identifier, or null.
    View* FindView(const std::string& identifier);

    // The window whose content holds this view, or null.
    Window* GetWindow() const;
    // The view (with those around it) went into a window's content.
    virtual void ViewDidMoveToWindow() {}
    // The user starts and ends resizing the window.
    virtual void ViewWillStartLiveResize() {}
    virtual void ViewDidEndLiveResize() {}

    bool RespondsTo(const std::string&) const override { return false; }
    bool Perform(const std::string&, void*) override { return false; }

    // Coordinates. A point of the superview's coordinates in this view's, and back.
    Gfx::Point ConvertPointFromSuperview(const Gfx::Point& p) const;
    Gfx::Point ConvertPointToSuperview(const Gfx::Point& p) const;
    // Window coordinates are the content view's top-down coordinates.
    Gfx::Point ConvertPointFromWindow(const Gfx::Point& p) const;
    Gfx::Point ConvertPointToWindow(const Gfx::Point& p) const;
    // A point of another view's coordinates (window coordinates when from is null) in this one's.
    Gfx::Point ConvertPoint(const Gfx::Point& p, const View* from) const;
    Rect ConvertRectToWindow(const Rect& r) const;
    // The deepest visible view under a point of the superview's coordinates, the last added
    // subview first; null when the point is outside this view.
    virtual View* HitTest(const Gfx::Point& inSuperview);
    bool ContainsPoint(const Gfx::Point& local) const;

    // Events. What a view does not answer goes on to its superview.
    virtual void MouseDown(const Event& e);
    virtual void MouseDragged(const Event& e);
    virtual void MouseUp(const Event& e);
    virtual void MouseMoved(const Event& e);
    virtual void MouseEntered(const Event& e);
    virtual void MouseExited(const Event& e);
    // Shows the view's context menu when it has one.
    virtual void RightMouseDown(const Event& e);
    virtual void RightMouseUp(const Event& e);
    virtual void ScrollWheel(const Event& e);
    virtual void KeyDown(const Event& e);
    virtual void FlagsChanged(const Event& e);
    // The context menu for the event; the view's menu by default.
    virtual std::shared_ptr<Menu> MenuForEvent(const Event&) { return mMenu; }
    std::shared_ptr<Menu> GetMenu() const { return mMenu; }
    void SetMenu(std::shared_ptr<Menu> menu) { mMenu = std::move(menu); }

    // The first responder and the key-view loop.
    virtual bool AcceptsFirstResponder() const { return false; }
    virtual bool BecomeFirstResponder() { return true; }
    virtual bool ResignFirstResponder() { return true; }
    // Whether tabbing may stop here: it accepts first responder and shows.
    virtual bool CanBecomeKeyView() const { return AcceptsFirstResponder() && !IsHiddenOrHasHiddenAncestor(); }
    View* NextKeyView() const { return mNextKeyView; }
    void SetNextKeyView(View* next) { mNextKeyView = next; }

    // Areas over which the window tells the owner of the mouse entering, leaving and moving.
    int AddTrackingArea(TrackingArea area);
    void RemoveTrackingArea(int id);
    const std::vector<TrackingArea>& TrackingAreas() const { return mTrackingAreas; }

    // The view asks to be drawn again, all of it or a part (in its coordinates); counted, as
    // nothing redraws on its own here.
    void SetNeedsDisplay() { SetNeedsDisplayInRect(Bounds()); }
    void SetNeedsDisplayInRect(const Rect& r) { ++mDisplayRequests, mLastDirty = r; }
    int DisplayRequests() const { return mDisplayRequests; }
    const Rect& LastDirtyRect() const { return mLastDirty; }

    // Draws the view and, above it, its visible subviews; the context's user space is the
    // superview's (top-down). Hidden views draw nothing.
    void Display(Gfx::Context& context);
    // Called before the view draws, while its frame may still change (a layout that depends on
    // what is about to be drawn).
    virtual void ViewWillDraw() {}
    // Whether drawing is clipped to the bounds (the default); a view that paints beside itself
    // (labels in a margin its superview keeps free) turns it off and clips itself.
    bool ClipsToBounds() const { return mClipsToBounds; }
    void SetClipsToBounds(bool on) { mClipsToBounds = on; }
    // The view's own drawing in its own coordinates; nothing by default. Drawing may update
    // what the view caches for drawing.
    virtual void DrawSelf(Gfx::Context&) {}
    // Why the view cannot show, or did not draw, what it stands for (a page that did not load,
    // or whose browser has gone); empty when it can. A picture with such a view is no picture.
    virtual std::string DrawingFailure() const { return {}; }
    // The first drawing failure of this view or, depth first, of its visible subviews.
    std::string DrawingFailureWithin() const;

    // A PDF page of the rectangle (in the view's coordinates) as the view draws it.
    virtual std::string DataWithPDFInsideRect(const Rect& rect);

protected:
    // Applies the subviews' autoresizing masks after a change of this view's size.
    virtual void ResizeSubviewsWithOldSize(const Gfx::Size& old);

private:
    friend class Window;
    void ResizeWithOldSuperviewSize(const Gfx::Size& old, const Gfx::Size& now);
    // The frame's top edge in the superview's top-down coordinates.
    double TopInSuperview() const;
    Rect mFrame;
    std::string mIdentifier;
    bool mHidden = false;
    unsigned mAutoresizing = kNotSizable;
    bool mAutoresizesSubviews = true;
    bool mClipsToBounds = true;
    View* mSuperview = nullptr;
    View* mNextKeyView = nullptr;
    Window* mWindow = nullptr;  // set on the content view only
    std::vector<std::unique_ptr<View>> mSubviews;
    std::vector<TrackingArea> mTrackingAreas;
    int mNextTrackingId = 1;
    int mDisplayRequests = 0;
    Rect mLastDirty;
    std::shared_ptr<Menu> mMenu;
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
    const std::string& ToolTip() const { return mToolTip; }
    void SetToolTip(const std::string& tip) { mToolTip = tip; }

    // Sends the action to the target, as a click or an edit does; false when nothing answers.
    bool SendAction();

    // A disabled control swallows the mouse: nothing under it hears of it either.
    void MouseDown(const Event& e) override;

private:
    Responder* mTarget = nullptr;
    std::string mAction;
    bool mEnabled = true;
    int mTag = 0;
    std::string mToolTip;
};

class Button : public Control {
public:
    // Push buttons send their action; switches (check boxes) and on/off buttons flip their
    // state first; a radio button turns on.
    enum class Type { Push, Switch, Radio, OnOff };
    enum State { kOff = 0, kOn = 1, kMixed = -1 };

    using Control::Control;
    const char* ClassName() const override { return "Button"; }
    const std::string& Title() const { return mTitle; }
    void SetTitle(const std::string& title) { mTitle = title; }
    Type GetType() const { return mType; }
    void SetType(Type type) { mType = type; }
    int GetState() const { return mState; }
    void SetState(int state) { mState = state; }
    // The key that clicks the button: Key::kReturn for a default button, Key::kEscape for cancel.
    const std::string& KeyEquivalent() const { return mKey; }
    void SetKeyEquivalent(const std::string& key) { mKey = key; }
    // An image shown in place of the title, or left of it.
    const NamedImage& Image() const { return mImage; }
    void SetImage(NamedImage image) { mImage = std::move(image), SetNeedsDisplay(); }
    bool IsHighlighted() const { return mHighlighted; }
    void SetHighlighted(bool on) { mHighlighted = on; }

    // A click: only an enabled button changes its state and sends its action.
    bool PerformClick();
    // Pressed and released inside: a click. Released outside: nothing.
    void MouseDown(const Event& e) override;
    void MouseUp(const Event& e) override;
    void DrawSelf(Gfx::Context& context) override;

private:
    std::string mTitle;
    Type mType = Type::Push;
    int mState = kOff;
    std::string mKey;
    NamedImage mImage;
    bool mHighlighted = false;
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

// A scroll bar: a position from 0 to 1 and the knob's share of the track. A click sets the
// part hit and sends the action; dragging the knob moves the value and sends it again.
class Scroller : public Control {
public:
    enum class Part { None, DecrementPage, Knob, IncrementPage, DecrementLine, IncrementLine, KnobSlot };
    // The arrows at each end of the track.
    static constexpr double kArrowLength = 12;

    using Control::Control;
    const char* ClassName() const override { return "Scroller"; }
    double Value() const { return mValue; }
    void SetValue(double value) { mValue = value < 0 ? 0 : value > 1 ? 1 : value; }
    double KnobProportion() const { return mKnob; }
    void SetKnobProportion(double proportion) { mKnob = proportion < 0 ? 0 : proportion > 1 ? 1 : proportion; }
    bool IsVertical() const { return Frame().height > Frame().width; }
    // The part under the last click or drag.
    Part HitPart() const { return mHitPart; }
    // The part at a point of the scroller's coordinates.
    Part TestPart(const Gfx::Point& p) const;
    Rect KnobRect() const;

    void MouseDown(const Event& e) override;
    void MouseDragged(const Event& e) override;
    void DrawSelf(Gfx::Context& context) override;

private:
    double Along(const Gfx::Point& p) const { return IsVertical() ? p.y : p.x; }
    double mValue = 0;
    double mKnob = 1;
    Part mHitPart = Part::None;
    double mGrab = 0;  // where the knob was taken, from its start
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

// A pop-up button: a menu of items with titles and tags, one of them selected, that sends
// its action when the user picks an item. A pull-down button shows a fixed title instead.
class PopUpButton : public Control {
public:
    explicit PopUpButton(Rect frame = {});
    const char* ClassName() const override { return "PopUpButton"; }
    // A pull-down's fixed title; a pop-up shows its selected item.
    const std::string& Title() const { return mTitle; }
    void SetTitle(const std::string& title) { mTitle = title; }
    bool PullsDown() const { return mPullsDown; }
    void SetPullsDown(bool pullsDown) { mPullsDown = pullsDown; }

    std::shared_ptr<Menu> ItemMenu() const { return mItems; }
    MenuItem& AddItem(const std::string& title, int tag = 0);
    void RemoveAllItems();
    size_t ItemCount() const;
    std::vector<std::string> Items() const;
    MenuItem* ItemAt(long index) const;
    // -1 when no item is selected (or there is none).
    long IndexOfSelectedItem() const;
    MenuItem* SelectedItem() const { return ItemAt(IndexOfSelectedItem()); }
    // The selected item's tag; -1 when none is selected.
    int SelectedTag() const;
    std::string TitleOfSelectedItem() const;
    long IndexOfItemWithTag(int tag) const;
    long IndexOfItemWithTitle(const std::string& title) const;
    void SelectItemAt(long index);
    // Selects the first item with the tag; with none, no item is selected. False then.
    bool SelectItemWithTag(int tag);
    // The user picks an item: it is selected and the action sent.
    bool PickItemAt(long index);
    // A click shows the menu to the user; the item chosen is picked.
    void MouseDown(const Event& e) override;
    void DrawSelf(Gfx::Context& context) override;

private:
    std::string mTitle;
    bool mPullsDown = false;
    std::shared_ptr<Menu> mItems;
    long mSelected = -1;
};

}  // namespace AppKit
