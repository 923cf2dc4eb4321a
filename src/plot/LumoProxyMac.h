// The plot proxy of a page in a web view: it runs scripts through its owner (the view's
// controller), posts the Lumo events on its own subject, names the page's cursor and image
// resources and shows the scale menu. The page reaches it through its bridge.
#pragma once

#include <memory>

#include "foundation/UnknownImp.h"
#include "framework/CAFSubject.h"
#include "plot/LumoJavaScriptProxy.h"
#include "plot/LumoProxyBase.h"
#include "plot/LumoProxyOwner.h"

namespace KVD {

// Counted, answering ISubject as its identity; made with KVD::MakeCounted.
class LumoProxyMac : public LumoProxyBase,
                     public CountedUnknown<Implements<CAFSubject, ISubject>>,
                     public CComObjectRoot {
public:
    LumoProxyMac(ILumoProxyUI* ui, bool errorVisibility) : LumoProxyBase(ui, errorVisibility) {}

    // Keeps the owner (not counted) and makes the bridge.
    void InitWithOwner(LumoProxyOwner* owner);
    // Puts the bridge on the page's window as "lumo_proxy", for every page from now on.
    void ConnectWithWindowScriptObject(Web::WebScriptObject& window);
    LumoJavaScriptProxy* Bridge() const { return mBridge.get(); }

    void OnDestroyPlot() override {}
    ISubject* GetSubject() override { return this; }
    // True when the page ran the script and it gave a value.
    bool ExecuteJavaScript(const String& script) override;
    void PostJavaScript(const String& script) override;
    HRESULT PostEvent(TCAFId id, uint64_t* slots) override;
    Web::WebScriptObject* ResourceURLs() override;
    void MakeDropMenu(const String& plotId, int scale, int left, int top, int right, int bottom, bool vertical,
                      double min, double max) override;

private:
    ~LumoProxyMac() override = default;

    LumoProxyOwner* mOwner = nullptr;
    std::unique_ptr<LumoJavaScriptProxy> mBridge;
};

}  // namespace KVD
