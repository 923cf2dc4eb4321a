#include "appkit/Layout.h"

#include <functional>
#include <locale>
#include <map>
#include <set>
#include <sstream>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "appkit/ImageView.h"
#include "appkit/KVDNumberEditHelper.h"
#include "appkit/Matrix.h"
#include "appkit/ScrollView.h"
#include "appkit/Slider.h"
#include "appkit/SplitView.h"
#include "appkit/TabView.h"
#include "appkit/TextField.h"

namespace AppKit {
namespace {

using boost::property_tree::ptree;

class LayoutReader {
public:
    LayoutReader(const std::string& path, LayoutOwner& owner) : mPath(path), mOwner(owner) {}

    std::unique_ptr<Window> Read();

private:
    [[noreturn]] void Fail(const std::string& what) const { throw LayoutError(mPath + ": " + what); }
    std::string Text(const ptree& e, const char* name, const std::string& fallback = {}) const;
    double Number(const ptree& e, const std::string& kind, const char* name, double fallback) const;
    bool Flag(const ptree& e, const std::string& kind, const char* name, bool fallback) const;
    Rect ParseFrame(const ptree& element, const std::string& kind) const;
    // Where a layout's images are looked for first: its own folder and the one above it.
    std::vector<std::string> LayoutFolders() const;
    std::unique_ptr<View> MakeView(const std::string& kind, const ptree& element);
    std::unique_ptr<View> MakeButton(const std::string& kind, const ptree& e, Rect frame);
    // Adds the child elements that are views; what a kind holds of its own (columns, items,
    // cells, tabs) is read by MakeView.
    void AddChildren(View& parent, const std::string& kind, const ptree& element);
    void Bind(View& view, const std::string& kind, const ptree& element);
    void LinkKeyViews(Window& window);

    std::string mPath;
    LayoutOwner& mOwner;
    std::set<std::string> mBound;
    std::vector<std::pair<View*, std::string>> mKeyLinks;
};

std::string LayoutReader::Text(const ptree& e, const char* name, const std::string& fallback) const
{
    return e.get<std::string>(std::string("<xmlattr>.") + name, fallback);
}

double LayoutReader::Number(const ptree& e, const std::string& kind, const char* name, double fallback) const
{
    const std::string text = Text(e, name);
    if (text.empty())
        return fallback;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0;
    if (!(in >> value) || in.peek() != std::char_traits<char>::eof())
        Fail("<" + kind + ">: " + name + " \"" + text + "\" is not a number");
    return value;
}

bool LayoutReader::Flag(const ptree& e, const std::string& kind, const char* name, bool fallback) const
{
    const std::string text = Text(e, name);
    if (text.empty())
        return fallback;
    if (text != "true" && text != "false")
        Fail("<" + kind + ">: " + name + " \"" + text + "\" is neither true nor false");
    return text == "true";
}

std::vector<std::string> LayoutReader::LayoutFolders() const
{
    const auto slash = mPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : mPath.substr(0, slash);
    return {folder, folder + "/.."};
}

Rect LayoutReader::ParseFrame(const ptree& element, const std::string& kind) const
{
    const std::string text = Text(element, "frame", "0 0 0 0");
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    Rect r;
    if (!(in >> r.x >> r.y >> r.width >> r.height) || r.width < 0 || r.height < 0)
        Fail("<" + kind + ">: frame \"" + text + "\" is not four numbers x y width height");
    return r;
}

std::unique_ptr<View> LayoutReader::MakeButton(const std::string& kind, const ptree& e, Rect frame)
{
    static const std::map<std::string, Button::Type> kTypes{
        {"push", Button::Type::Push}, {"check", Button::Type::Switch}, {"radio", Button::Type::Radio}, {"onoff", Button::Type::OnOff}};
    static const std::map<std::string, int> kStates{{"off", Button::kOff}, {"on", Button::kOn}, {"mixed", Button::kMixed}};
    static const std::map<std::string, std::string> kKeys{{"", ""}, {"return", Key::kReturn}, {"escape", Key::kEscape}};
    std::unique_ptr<Button> button = kind == "cell" ? std::make_unique<MatrixCell>(frame) : std::make_unique<Button>(frame);
    const auto type = kTypes.find(Text(e, "type", kind == "cell" ? "radio" : "push"));
    const auto state = kStates.find(Text(e, "state", "off"));
    const auto key = kKeys.find(Text(e, "key"));
    if (type == kTypes.end())
        Fail("<" + kind + ">: unknown type \"" + Text(e, "type") + "\"");
    if (state == kStates.end())
        Fail("<" + kind + ">: unknown state \"" + Text(e, "state") + "\"");
    if (key == kKeys.end())
        Fail("<" + kind + ">: unknown key \"" + Text(e, "key") + "\"");
    button->SetType(type->second);
    button->SetState(state->second);
    button->SetKeyEquivalent(key->second);
    button->SetTitle(Text(e, "title"));
    if (!Text(e, "image").empty())
        button->SetImage(NamedImage::Find(Text(e, "image"), LayoutFolders()));
    return button;
}

std::unique_ptr<View> LayoutReader::MakeView(const std::string& kind, const ptree& e)
{
    const Rect frame = ParseFrame(e, kind);
    if (kind == "view")
        return std::make_unique<View>(frame);
    if (kind == "button")
        return MakeButton(kind, e, frame);
    if (kind == "label") {
        auto label = std::make_unique<Label>(frame);
        label->SetText(Text(e, "text"));
        return label;
    }
    if (kind == "textfield") {
        auto field = std::make_unique<TextField>(frame);
        field->SetStringValue(Text(e, "text"));
        field->SetPlaceholder(Text(e, "placeholder"));
        field->SetEditable(Flag(e, kind, "editable", true));
        return field;
    }
    if (kind == "popup") {
        auto popUp = std::make_unique<PopUpButton>(frame);
        popUp->SetPullsDown(Flag(e, kind, "pullsDown", false));
        popUp->SetTitle(Text(e, "title"));
        for (const auto& child : e)
            if (child.first == "item")
                popUp->AddItem(Text(child.second, "title"), int(Number(child.second, "item", "tag", 0)));
        return popUp;
    }
    if (kind == "matrix")
        return std::make_unique<Matrix>(frame);
    if (kind == "slider") {
        auto slider = std::make_unique<Slider>(frame);
        slider->SetMinValue(Number(e, kind, "min", 0));
        slider->SetMaxValue(Number(e, kind, "max", 1));
        slider->SetDoubleValue(Number(e, kind, "value", slider->MinValue()));
        slider->SetContinuous(Flag(e, kind, "continuous", true));
        return slider;
    }
    if (kind == "stepper") {
        auto stepper = std::make_unique<Stepper>(frame);
        stepper->SetMinValue(Number(e, kind, "min", 0));
        stepper->SetMaxValue(Number(e, kind, "max", 59));
        stepper->SetIncrement(Number(e, kind, "increment", 1));
        stepper->SetValueWraps(Flag(e, kind, "wraps", false));
        stepper->SetDoubleValue(Number(e, kind, "value", stepper->MinValue()));
        return stepper;
    }
    if (kind == "split") {
        auto split = std::make_unique<SplitView>(frame);
        split->SetVertical(Flag(e, kind, "vertical", true));
        return split;
    }
    if (kind == "scroll") {
        auto scroll = std::make_unique<ScrollView>(frame);
        scroll->SetHasVerticalScroller(Flag(e, kind, "vertical", true));
        scroll->SetHasHorizontalScroller(Flag(e, kind, "horizontal", false));
        return scroll;
    }
    if (kind == "tabs")
        return std::make_unique<TabView>(frame);
    if (kind == "image") {
        auto image = std::make_unique<ImageView>(frame);
        image->SetImage(NamedImage::Find(Text(e, "name"), LayoutFolders()));
        return image;
    }
    if (kind == "scroller")
        return std::make_unique<Scroller>(frame);
    if (kind == "errorprovider")
        return std::make_unique<KVDErrorProvider>(frame);
    if (kind == "table") {
        auto table = std::make_unique<TableView>(frame);
        for (const auto& child : e)
            if (child.first == "column")
                table->AddColumn({Text(child.second, "id"), Text(child.second, "title"),
                                  Number(child.second, "column", "width", 100)});
        return table;
    }
    Fail("unknown element <" + kind + ">");
}

void LayoutReader::Bind(View& view, const std::string& kind, const ptree& e)
{
    view.SetIdentifier(Text(e, "id", Text(e, "outlet")));
    view.SetHidden(Flag(e, kind, "hidden", false));
    view.SetAutoresizingMask(unsigned(Number(e, kind, "autoresizing", 0)));
    if (auto* control = dynamic_cast<Control*>(&view)) {
        control->SetEnabled(Flag(e, kind, "enabled", true));
        control->SetTag(int(Number(e, kind, "tag", 0)));
        control->SetToolTip(Text(e, "tooltip"));
        const std::string action = Text(e, "action");
        if (!action.empty()) {
            if (!mOwner.RespondsTo(action))
                Fail("<" + kind + ">: the owner does not answer the action \"" + action + "\"");
            control->SetAction(action);
            control->SetTarget(&mOwner);
        }
    }
    const std::string next = Text(e, "nextKeyView");
    if (!next.empty())
        mKeyLinks.emplace_back(&view, next);
    const std::string outlet = Text(e, "outlet");
    if (!outlet.empty()) {
        if (!mOwner.SetOutlet(outlet, &view))
            Fail("<" + kind + ">: unknown outlet \"" + outlet + "\"");
        mBound.insert(outlet);
    }
}

void LayoutReader::AddChildren(View& parent, const std::string& kind, const ptree& element)
{
    static const std::map<std::string, std::string> kOwnParts{
        {"table", "column"}, {"popup", "item"}, {"matrix", "cell"}, {"tabs", "tab"}};
    const auto own = kOwnParts.find(kind);
    for (const auto& child : element) {
        const std::string& childKind = child.first;
        if (childKind == "<xmlattr>" || childKind == "<xmlcomment>")
            continue;
        const bool part = own != kOwnParts.end() && own->second == childKind;
        if (part && childKind == "tab") {
            View& page = static_cast<TabView&>(parent).AddTab(Text(child.second, "id"), Text(child.second, "label"));
            AddChildren(page, childKind, child.second);
            continue;
        }
        if (part && childKind != "cell")
            continue;
        if (!part && (childKind == "column" || childKind == "item" || childKind == "cell" || childKind == "tab"))
            Fail("<" + childKind + "> outside its <" +
                 (childKind == "column" ? "table" : childKind == "item" ? "popup" : childKind == "cell" ? "matrix" : "tabs") + ">");
        std::unique_ptr<View> made = childKind == "cell" ? MakeButton(childKind, child.second, ParseFrame(child.second, childKind))
                                                         : MakeView(childKind, child.second);
        View* view = made.get();
        if (auto* scroll = dynamic_cast<ScrollView*>(&parent)) {
            if (scroll->DocumentView() != nullptr)
                Fail("<scroll> holds one document view");
            scroll->SetDocumentView(std::move(made));
        } else {
            parent.AddSubview(std::move(made));
        }
        Bind(*view, childKind, child.second);
        AddChildren(*view, childKind, child.second);
        if (auto* matrix = dynamic_cast<Matrix*>(&parent); matrix && static_cast<Button*>(view)->GetState() == Button::kOn)
            matrix->SelectCell(static_cast<Button*>(view));
    }
    if (auto* split = dynamic_cast<SplitView*>(&parent))
        split->AdjustSubviews();
}

void LayoutReader::LinkKeyViews(Window& window)
{
    for (const auto& link : mKeyLinks) {
        View* next = window.ContentView().FindView(link.second);
        if (next == nullptr)
            Fail("nextKeyView \"" + link.second + "\" names no view");
        link.first->SetNextKeyView(next);
    }
}

std::unique_ptr<Window> LayoutReader::Read()
{
    ptree tree;
    try {
        boost::property_tree::read_xml(mPath, tree, boost::property_tree::xml_parser::trim_whitespace);
    } catch (const boost::property_tree::xml_parser_error& e) {
        Fail(e.message() + (e.line() ? " (line " + std::to_string(e.line()) + ")" : std::string()));
    }
    const auto root = tree.get_child_optional("window");
    if (!root || tree.size() != 1)
        Fail("a layout holds exactly one <window>");
    const Rect frame{Number(*root, "window", "x", 0), Number(*root, "window", "y", 0),
                     Number(*root, "window", "width", 400), Number(*root, "window", "height", 300)};
    auto window = std::make_unique<Window>(frame, Text(*root, "title"));
    AddChildren(window->ContentView(), "window", *root);
    LinkKeyViews(*window);
    const std::string initial = Text(*root, "initialFirstResponder");
    if (!initial.empty()) {
        View* view = window->ContentView().FindView(initial);
        if (view == nullptr)
            Fail("initialFirstResponder \"" + initial + "\" names no view");
        window->SetInitialFirstResponder(view);
    }
    for (const std::string& required : mOwner.RequiredOutlets())
        if (!mBound.count(required))
            Fail("missing outlet \"" + required + "\"");
    mOwner.AwakeFromNib();
    return window;
}

}  // namespace

std::unique_ptr<Window> LoadLayout(const std::string& path, LayoutOwner& owner)
{
    try {
        return LayoutReader(path, owner).Read();
    } catch (const boost::property_tree::ptree_error& e) {
        throw LayoutError(path + ": " + e.what());
    }
}

std::string LayoutPath(const std::string& folder, const std::string& name) { return folder + "/" + name + ".xml"; }

}  // namespace AppKit
