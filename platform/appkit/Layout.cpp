#include "appkit/Layout.h"

#include <set>
#include <sstream>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

namespace AppKit {
namespace {

using boost::property_tree::ptree;

class LayoutReader {
public:
    LayoutReader(const std::string& path, LayoutOwner& owner) : mPath(path), mOwner(owner) {}

    std::unique_ptr<Window> Read();

private:
    [[noreturn]] void Fail(const std::string& what) const { throw LayoutError(mPath + ": " + what); }
    Rect ParseFrame(const ptree& element, const std::string& kind) const;
    std::unique_ptr<View> MakeView(const std::string& kind, const ptree& element);
    void AddChildren(View& parent, const ptree& element);
    void Bind(View& view, const ptree& element);

    std::string mPath;
    LayoutOwner& mOwner;
    std::set<std::string> mBound;
};

Rect LayoutReader::ParseFrame(const ptree& element, const std::string& kind) const
{
    const std::string text = element.get<std::string>("<xmlattr>.frame", "0 0 0 0");
    std::istringstream in(text);
    Rect r;
    if (!(in >> r.x >> r.y >> r.width >> r.height) || r.width < 0 || r.height < 0)
        Fail(kind + ": frame \"" + text + "\" is not four numbers x y width height");
    return r;
}

std::unique_ptr<View> LayoutReader::MakeView(const std::string& kind, const ptree& element)
{
    const Rect frame = ParseFrame(element, kind);
    if (kind == "view")
        return std::make_unique<View>(frame);
    if (kind == "button") {
        auto button = std::make_unique<Button>(frame);
        button->SetTitle(element.get<std::string>("<xmlattr>.title", ""));
        return button;
    }
    if (kind == "label") {
        auto label = std::make_unique<Label>(frame);
        label->SetText(element.get<std::string>("<xmlattr>.text", ""));
        return label;
    }
    if (kind == "scroller")
        return std::make_unique<Scroller>(frame);
    if (kind == "table") {
        auto table = std::make_unique<TableView>(frame);
        for (const auto& child : element)
            if (child.first == "column")
                table->AddColumn({child.second.get<std::string>("<xmlattr>.id", ""),
                                  child.second.get<std::string>("<xmlattr>.title", ""),
                                  child.second.get<double>("<xmlattr>.width", 100)});
        return table;
    }
    Fail("unknown element <" + kind + ">");
}

void LayoutReader::Bind(View& view, const ptree& element)
{
    view.SetIdentifier(element.get<std::string>("<xmlattr>.id", element.get<std::string>("<xmlattr>.outlet", "")));
    view.SetHidden(element.get<bool>("<xmlattr>.hidden", false));
    if (auto* control = dynamic_cast<Control*>(&view)) {
        control->SetEnabled(element.get<bool>("<xmlattr>.enabled", true));
        control->SetTag(element.get<int>("<xmlattr>.tag", 0));
        const std::string action = element.get<std::string>("<xmlattr>.action", "");
        if (!action.empty()) {
            if (!mOwner.RespondsTo(action))
                Fail("the owner does not answer the action \"" + action + "\"");
            control->SetAction(action);
            control->SetTarget(&mOwner);
        }
    }
    const std::string outlet = element.get<std::string>("<xmlattr>.outlet", "");
    if (!outlet.empty()) {
        if (!mOwner.SetOutlet(outlet, &view))
            Fail("unknown outlet \"" + outlet + "\"");
        mBound.insert(outlet);
    }
}

void LayoutReader::AddChildren(View& parent, const ptree& element)
{
    for (const auto& child : element) {
        if (child.first == "<xmlattr>" || child.first == "<xmlcomment>" || child.first == "column")
            continue;
        View& view = parent.AddSubview(MakeView(child.first, child.second));
        Bind(view, child.second);
        AddChildren(view, child.second);
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
    const Rect frame{root->get<double>("<xmlattr>.x", 0), root->get<double>("<xmlattr>.y", 0),
                     root->get<double>("<xmlattr>.width", 400), root->get<double>("<xmlattr>.height", 300)};
    auto window = std::make_unique<Window>(frame, root->get<std::string>("<xmlattr>.title", ""));
    AddChildren(window->ContentView(), *root);
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
