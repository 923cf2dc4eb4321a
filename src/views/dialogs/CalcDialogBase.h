// What the calculation dialogs share on top of the host's dialog base: outlets that every
// layout must bind, channel pop-ups filled with tags, number helpers on their fields with the
// dialogs' number format, and wide texts shown in the controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "appkit/KVDModalDialogController.h"
#include "appkit/KVDNumberEditHelper.h"
#include "appkit/Matrix.h"
#include "foundation/KVDString.h"

namespace Spirometry {

class CalcDialogBase : public KVDModalDialogController, public KVDNumberEditHelper::Delegate {
public:
    // Appends an item with the title and tag; it sends no action of its own.
    static void AddItemToPopup(AppKit::PopUpButton& popUp, const KVD::String& title, int tag);
    // One item per channel name, tagged with the channel's index.
    static void FillChannelPopup(AppKit::PopUpButton& popUp, const std::vector<KVD::String>& names);
    // Decimal, no significant-digit mode, at most four fraction digits.
    static std::shared_ptr<AppKit::NumberFormatter> MakeNumberFormatter();

    std::vector<std::string> RequiredOutlets() const override { return mRequired; }
    // Valid numbers typed change nothing until the field's edit ends, unless a dialog says so.
    void NumberEditHelperValueDidChange(KVDNumberEditHelper&) override {}

protected:
    // The layout of the nib name, in the bundle's layouts (or the folders added to the base).
    explicit CalcDialogBase(const std::string& nibName);

    // An outlet that the layout must bind.
    template <class T>
    void Outlet(const std::string& name, T*& member)
    {
        DeclareOutlet(name, member);
        mRequired.push_back(name);
    }
    // A helper on the field and its error provider, with limits, told to this dialog and
    // validated on OK; the field gets the dialog's number format.
    std::unique_ptr<KVDNumberEditHelper> MakeHelper(AppKit::TextField* field, KVDErrorProvider* errors,
                                                    double minimum, double maximum);
    // The same with a slider and a stepper (either may be null) moving with the field.
    std::unique_ptr<KVDNumberEditHelper> MakeHelper(AppKit::TextField* field, AppKit::Slider* slider,
                                                    AppKit::Stepper* stepper, KVDErrorProvider* errors,
                                                    double minimum, double maximum);

private:
    std::vector<std::string> mRequired;
};

// The helper's number when its field holds one within its limits, whether or not the helper
// validates just now; else the fallback, so that no refused number reaches a record.
double NumberOr(const KVDNumberEditHelper& helper, double fallback);

// A check box's state as a flag, and back.
bool IsOn(const AppKit::Button* button);
void SetOn(AppKit::Button* button, bool on);

}  // namespace Spirometry
