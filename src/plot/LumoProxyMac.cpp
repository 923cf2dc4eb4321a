#include "plot/LumoProxyMac.h"

#include "foundation/StringKeys.h"
#include "plot/LumoText.h"
#include "plot/ScriptText.h"

namespace KVD {
namespace {

// The page's cursor and image resources, relative to the bundle's resources (its base URL).
const std::pair<const char*, const char*> kResourceNames[] = {
    {"cursor_all_stretch_t", "stretch_all_horz.cur"},   {"cursor_all_stretch_r", "stretch_all_vert_right.cur"},
    {"cursor_down_stretch_r", "stretch_down.cur"},      {"cursor_up_stretch_r", "stretch_up.cur"},
    {"cursor_l_stretch_t", "stretch_left.cur"},         {"cursor_lr_move_t", "move_horz.cur"},
    {"cursor_r_stretch_t", "stretch_right.cur"},        {"cursor_up_down_move_r", "move_vert.cur"},
    {"throbber", "throbber.gif"},
};

}  // namespace

void LumoProxyMac::InitWithOwner(LumoProxyOwner* owner)
{
    mOwner = owner;
    mBridge = std::make_unique<LumoJavaScriptProxy>(this);
}

void LumoProxyMac::ConnectWithWindowScriptObject(Web::WebScriptObject& window)
{
    if (mBridge != nullptr)
        window.InstallBridge(mBridge->ScriptObject());
}

bool LumoProxyMac::ExecuteJavaScript(const String& script)
{
    if (mOwner == nullptr)
        return false;
    const std::optional<Web::Value> result = mOwner->ExecuteJavaScript(ToU8String(script));
    return result.has_value() && !result->IsUndefined();
}

void LumoProxyMac::PostJavaScript(const String& script)
{
    if (mOwner != nullptr)
        mOwner->PostJavaScript(ToU8String(script));
}

HRESULT LumoProxyMac::PostEvent(TCAFId id, uint64_t* slots) { return GetSubject()->NotifyObservers(id, slots); }

Web::WebScriptObject* LumoProxyMac::ResourceURLs()
{
    Web::WebScriptObject* window = mOwner != nullptr ? mOwner->WindowScriptObject() : nullptr;
    if (window == nullptr)
        return nullptr;
    for (const auto& entry : kResourceNames)
        window->SetValueForKey(entry.first, Web::Value::String(entry.second));
    return window;
}

void LumoProxyMac::MakeDropMenu(const String& plotId, int scale, int left, int, int, int bottom, bool, double,
                                double)
{
    if (mOwner == nullptr)
        return;
    // The plot id comes from the page: quoted, it cannot end the script's string.
    std::string autoScale = "lumo.get_plot(";
    Lumo::AppendQuoted(autoScale, ToU8String(plotId));
    autoScale += ").get_scales()[" + std::to_string(scale) + "].auto_scale();";
    AppKit::Menu menu(Lumo::Text(LumoStr::IDS_LUMO_SCALE_MENU));
    const bool hasData = HasData();
    const KVDXMLStringKey* titles[] = {&LumoStr::IDS_LUMO_AUTO_SCALE, &LumoStr::IDS_LUMO_UNIPOLAR,
                                       &LumoStr::IDS_LUMO_BIPOLAR, &LumoStr::IDS_LUMO_INVERT_SCALE,
                                       &LumoStr::IDS_LUMO_SET_SCALE};
    for (const KVDXMLStringKey* title : titles) {
        const std::string* script = title == &LumoStr::IDS_LUMO_AUTO_SCALE && hasData ? &autoScale : nullptr;
        menu.Add(mOwner->MenuItemWithName(Lumo::Text(*title), script, nullptr, nullptr, true));
    }
    mOwner->ShowDropDownMenu(menu, Gfx::Point{double(left), double(bottom)});
}

}  // namespace KVD
