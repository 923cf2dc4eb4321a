// Window layouts of our own: one XML file per layout name, read into a window whose controls
// are bound to their owner — outlets by name, actions by selector text. Numbers are written
// the classic way ("0.5") whatever the locale.
//
//   <window title="Volume" width="400" height="300" initialFirstResponder="deadSpaceEdit">
//     <button outlet="ok" title="OK" action="ok:" key="return" frame="300 260 80 24"/>
//     <button outlet="driftCheck" type="check" title="Remove drift" state="on" frame="..."/>
//     <label outlet="status" text="Ready" frame="..."/>
//     <textfield outlet="deadSpaceEdit" text="150" placeholder="mL" nextKeyView="ratioEdit" frame="..."/>
//     <popup outlet="srcList" action="onSrcChanged:" frame="...">
//       <item title="Flow" tag="0"/>
//     </popup>
//     <matrix outlet="correctionMode" frame="...">
//       <cell outlet="correctionNormalBtn" title="Normal" tag="0" frame="0 0 100 18"/>
//     </matrix>
//     <slider min="0.01" max="10" value="1"/>  <stepper min="0" max="10" increment="0.1"/>
//     <split vertical="true"> panes </split>  <scroll vertical="true" horizontal="false"> document </scroll>
//     <tabs> <tab id="general" label="General"> views </tab> </tabs>
//     <errorprovider outlet="deadSpaceError" frame="..."/>
//     <image name="ViewTraceOverlay_16x16"/>  <scroller/>  <table> <column id="" title="" width=""/> </table>
//     <view id="plot" outlet="plotView" autoresizing="18" frame="0 0 100 100"> ... </view>
//   </window>
//
// Every element takes id, outlet, frame, hidden, autoresizing (the mask as a number) and
// nextKeyView; controls also enabled, tag, action and tooltip.
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
