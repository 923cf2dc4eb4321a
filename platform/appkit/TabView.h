// A tab view: labelled tabs along its top, each with a view of its own; only the selected
// tab's view shows. Choosing a tab posts kDidSelectTab with the tab view as object.
#pragma once

#include "appkit/View.h"

namespace AppKit {

class TabView : public View {
public:
    static constexpr const char* kDidSelectTab = "TabViewDidSelectTabViewItemNotification";
    static constexpr double kTabHeight = 24;

    using View::View;
    const char* ClassName() const override { return "TabView"; }

    // Adds a tab whose view fills the area below the tabs; answers the view.
    View& AddTab(const std::string& identifier, const std::string& label);
    size_t TabCount() const { return mTabs.size(); }
    const std::string& LabelAt(size_t index) const { return mTabs.at(index).label; }
    const std::string& IdentifierAt(size_t index) const { return mTabs.at(index).identifier; }
    View& ViewAt(size_t index) const { return *mTabs.at(index).view; }
    // -1 when there is no tab.
    long IndexOfSelectedTab() const { return mTabs.empty() ? -1 : mSelected; }
    void SelectTabAt(size_t index);
    bool SelectTabWithIdentifier(const std::string& identifier);
    // The tab whose label is at a point of the tab view's coordinates, or -1.
    long TabAt(const Gfx::Point& p) const;
    Rect TabRect(size_t index) const;

    void MouseDown(const Event& e) override;
    void DrawSelf(Gfx::Context& context) override;

private:
    struct Tab {
        std::string identifier;
        std::string label;
        View* view;
    };
    std::vector<Tab> mTabs;
    long mSelected = 0;
};

}  // namespace AppKit
