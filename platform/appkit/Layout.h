// Window layouts of our own: one XML file per layout name, read into a window whose controls
// are bound to their owner — outlets by name, actions by selector text.
//
//   <window title="Report" width="640" height="480">
//     <button outlet="printButton" title="Print" action="print:" frame="10 440 80 24"/>
//     <label outlet="status" text="Ready" frame="100 440 300 24"/>
//     <table outlet="breaths" frame="10 10 620 420">
//       <column id="index" title="#" width="40"/>
//     </table>
//     <scroller outlet="hScroll" frame="10 400 300 12"/>
//     <view id="plot" outlet="plotView" frame="0 0 100 100"> ... </view>
//   </window>
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "appkit/Window.h"

namespace AppKit {

class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a layout binds to: the owner of its outlets and the target of its actions.
class LayoutOwner : public Responder {
public:
    // Takes the view for the named outlet; false when the owner has no such outlet.
    virtual bool SetOutlet(const std::string& name, View* view) = 0;
    // Outlets that every layout of this owner must bind.
    virtual std::vector<std::string> RequiredOutlets() const { return {}; }
    // Called once the layout is read and every outlet and action is bound.
    virtual void AwakeFromNib() {}
};

// Reads the layout file and binds it to owner. Throws LayoutError naming the file and what is
// wrong: unreadable XML, an unknown element, an unknown or missing outlet, an action that the
// owner does not answer, a bad frame.
std::unique_ptr<Window> LoadLayout(const std::string& path, LayoutOwner& owner);

// The file of a layout name in a folder of layouts: FOLDER/NAME.xml.
std::string LayoutPath(const std::string& folder, const std::string& name);

}  // namespace AppKit
