// The view class of a spirometry view: registered under the view's type id, name and category,
// it opens views only on a spirometry document.
#pragma once

#include "FrameworkIds.h"
#include "ISpiroDocument.h"
#include "framework/CAFOwlDocView.h"
#include "framework/OwlDocViewClass.h"

template <class View>
class SpiroViewClass : public CAFOwlDocViewClass<CAFOwlDocView<View>> {
public:
    SpiroViewClass(const KVD::String& className, const wchar_t* viewName, TCAFId typeId, NSBundle* bundle)
        : CAFOwlDocViewClass<CAFOwlDocView<View>>(className, &CATID_OrrelViewClass, kViewClassFlags, viewName, typeId,
                                                  bundle, {&IID_IDocument, &Spirometry::IID_ISpiroDocInterface})
    {
    }

    // The views have no command information of their own: 0, and nothing supplied.
    HRESULT GetCommandInfo(NSBundle** bundle, ViewCommandInfo*) override
    {
        if (bundle != nullptr)
            *bundle = nullptr;
        return KVD_S_OK;
    }

private:
    static constexpr ViewClassFlags kViewClassFlags = 1;
};
