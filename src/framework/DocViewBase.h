// The COM object the host holds for one open view: the proxy through which the host reaches
// the plug-in's view object, with the view's number, instance, class and document.
#pragma once

#include "IDocView.h"
#include "foundation/COMPtr.h"
#include "foundation/RefCount.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFProxyEventHandler.h"

class DocViewBase : public IDocView2, public CAFProxyEventHandlerBase, public KVD::CComObjectRoot {
public:
    // Tells the view class that a view was made.
    DocViewBase(IDocViewClass* cls, IDocument* document);
    // Tells the view class that the view is gone.
    ~DocViewBase() override;

    KVD_BEGIN_INTERFACE_MAP(DocViewBase)
        KVD_INTERFACE_ENTRY(IView)
        KVD_INTERFACE_ENTRY(IDocView)
        KVD_INTERFACE_ENTRY(IDocView2)
        KVD_INTERFACE_ENTRY(IObserver)
        KVD_INTERFACE_ENTRY(ICAFCommandHandler)
        KVD_INTERFACE_ENTRY(IMessageHandler)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_REFCOUNT_OF(mObjectCount)

    // The name comes from the concrete view: KVD_S_FALSE here.
    HRESULT GetViewName(IAutoKVDString** name) override;
    // The document decides (it clears *can to keep the view).
    HRESULT CanClose(AutoBool* can) override;
    // Tells the document that the view closes and lets it go.
    HRESULT Close() override;
    HRESULT SetViewNumber(uint32_t number) override;
    HRESULT GetViewNumber(uint32_t* number) override;
    // Type id of the view class, view number in bits 32-47, instance in bits 48-63.
    HRESULT GetUniqueId(IDL_CAFViewId* id) override;
    HRESULT OnActivate() override;
    HRESULT GetViewClass(IDocViewClass** cls) override;
    HRESULT GetDocument(IDocument** document) override;
    HRESULT GetMenu(IMenu** menu) override;
    HRESULT GetInstance(int* instance) override;
    HRESULT SetInstance(int instance) override;

    IDocument* GetDocumentPtr() const { return mDocument; }
    IDocViewClass* GetViewClassPtr() const { return mClass; }
    IDocView* AsDocView() { return this; }

protected:
    KVD::RefCount mObjectCount;

private:
    uint32_t mViewNumber = 0;
    int mInstance = 0;
    KVD::COMPtr<IDocViewClass> mClass;
    KVD::COMPtr<IDocument> mDocument;
};
