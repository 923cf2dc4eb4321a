// A host document with a plug-in child document on which plot views open through their
// registered view class, as the host and `spirohost view` open them, with the window made at
// once; the views' layouts come from a bundle of the test's own.
#pragma once

#include <string>

#include "FrameworkIds.h"
#include "foundation/COMPtr.h"
#include "framework/CAFDocumentClass.h"
#include "framework/CAFOwlDocView.h"
#include "framework/OrrelChildDocument.h"
#include "framework/OwlDocViewClass.h"
#include "host/document/HostDocument.h"
#include "support/TempFolder.h"

namespace PlotTest {

class PlotTestDoc : public OrrelChildDocument {
public:
    using OrrelChildDocument::OrrelChildDocument;
    static void GetCommands(CAFCommandGroup&) {}
};

class PlotViewHost {
public:
    PlotViewHost();
    ~PlotViewHost();
    PlotViewHost(const PlotViewHost&) = delete;
    PlotViewHost& operator=(const PlotViewHost&) = delete;

    // Registers View's class under the name; false when the host refuses it.
    template <class View>
    bool AddViewClass(const wchar_t* name)
    {
        auto* cls = new CAFOwlDocViewClass<CAFOwlDocView<View>>(name, &CATID_OrrelViewClass, 1, name, ViewType(),
                                                               Bundle(), {&IID_IDocument});
        return Register(static_cast<IDocViewClass*>(cls));
    }
    // The plug-in document that views open on.
    IUnknown* Document() const { return mChild; }
    template <class View>
    static View* ViewObject(IUnknown* view)
    {
        const KVD::COMPtr<IDocView> docView(KVD::com_cast(view));
        return static_cast<CAFOwlDocView<View>*>(static_cast<IDocView2*>(docView.get()))->GetView();
    }

    Host::HostDocument& Host() const { return *mHost; }

private:
    static TCAFId ViewType();
    NSBundle* Bundle() const;
    bool Register(IDocViewClass* cls);

    TestSupport::TempFolder mBundle;
    Host::HostDocument* mHost = nullptr;
    CAFDocumentClass<PlotTestDoc>* mDocClass = nullptr;
    IDocViewClass* mViewClass = nullptr;
    KVD::COMPtr<ICustomDocument> mChild;
};

}  // namespace PlotTest
