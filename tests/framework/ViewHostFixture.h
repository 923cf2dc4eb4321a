// A host with one recording document and a plug-in child document in it, on which tests open
// views through their registered view classes, as the host does.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "framework/CAFDocumentClass.h"
#include "framework/CAFOwlDocView.h"
#include "framework/OrrelChildDocument.h"
#include "framework/OwlDocViewClass.h"
#include "host/document/HostDocument.h"

namespace ViewTest {

// 3F31AE88-56F1-447E-861A-EFBD9E1BA99A: the test document's and views' types
inline constexpr _IID kViewTestGuid = {0x3F31AE88, 0x56F1, 0x447E, {0x86, 0x1A, 0xEF, 0xBD, 0x9E, 0x1B, 0xA9, 0x9A}};
typedef TypeIdClass<&kViewTestGuid, 0> ViewTestDocTypeId;

class ViewTestDoc : public OrrelChildDocument {
public:
    using OrrelChildDocument::OrrelChildDocument;
    static void GetCommands(CAFCommandGroup&) {}
};

// The bundle of the tests' layouts and pages.
NSBundle* TestBundle();

class ViewHostFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Registers the view class of View under type index n of the test GUID.
    template <class View>
    TCAFId AddViewClass(const wchar_t* name, unsigned n, NSBundle* bundle)
    {
        const TCAFId type = (static_cast<TCAFId>(CachedDynamicId<&kViewTestGuid>::GetDynId()) << 16) | n;
        auto* cls = new CAFOwlDocViewClass<CAFOwlDocView<View>>(name, &CATID_OrrelViewClass, 1, nullptr, type, bundle,
                                                               {&IID_IDocument});
        RegisterViewClass(static_cast<IDocViewClass*>(cls), type);
        return type;
    }

    // Opens a view of the class on the child document, as the host does.
    KVD::COMPtr<IDocView> Open(TCAFId type);
    uint32_t ViewCount();

    template <class View>
    static View* ViewObject(IDocView* view)
    {
        return static_cast<CAFOwlDocView<View>*>(static_cast<IDocView2*>(view))->GetView();
    }

    Host::HostDocument* host = nullptr;
    KVD::COMPtr<IDocument> document;

private:
    void RegisterViewClass(IDocViewClass* cls, TCAFId type);

    CAFDocumentClass<ViewTestDoc>* mDocClass = nullptr;
    KVD::COMPtr<ICustomDocument> mChild;
    std::vector<std::pair<IDocViewClass*, TCAFId>> mViewClasses;
};

}  // namespace ViewTest
