// A view class that stands in for a spirometry view not built yet: it is registered under the
// view's type id, name and category so that the host and the document's menu find it, asks
// the same of a document as the view will, and opens no window (CreateView answers that it is
// not implemented).
#pragma once

#include "framework/OwlDocViewClass.h"

class PlaceholderViewClass : public OwlDocViewClassBase {
public:
    PlaceholderViewClass(const KVD::String& className, const wchar_t* viewName, TCAFId typeId);

    HRESULT GetTypeId(TCAFId* id) override;
    HRESULT CreateView(uint32_t flags, IDocument* document, IDocView** out) override;
    // IID_IDocument and the spirometry document's marker interface.
    HRESULT EnumDocInterfaces(IEnumInterface** out) override;
    // The views have no command information of their own: 0, and nothing supplied.
    HRESULT GetCommandInfo(NSBundle** bundle, ViewCommandInfo* info) override;

private:
    TCAFId mTypeId;
};
