// The document view of one view type. View is the plug-in's view object: a TWindow and a
// CAFCppEventHandler, constructed with (parent window, view class, document view, document,
// bundle). The document view makes it when the host asks for the window, routes the host's
// commands, messages and events to it, and deletes it when the view closes.
#pragma once

#include <type_traits>
#include <utility>

#include "IOrrelDocument.h"
#include "framework/CAFCppEventHandler.h"
#include "framework/DocWindowViewBase.h"

namespace DocViewDetail {

template <class View, class = void>
struct HasViewName : std::false_type {};
template <class View>
struct HasViewName<View, std::void_t<decltype(std::declval<const View&>().GetViewName())>> : std::true_type {};

template <class View, class = void>
struct PositionsItself : std::false_type {};
template <class View>
struct PositionsItself<View, std::void_t<decltype(std::declval<View&>().InitialisePosition(
                                  std::declval<const IAutoOrrelDoc*>()))>> : std::true_type {};

}  // namespace DocViewDetail

template <class View>
class CAFOwlDocView : public DocWindowViewBase {
public:
    CAFOwlDocView(IDocViewClass* cls, IDocument* document, NSBundle* bundle) : DocWindowViewBase(cls, document, bundle)
    {
    }
    ~CAFOwlDocView() override { DeleteView(); }

    KVD_BEGIN_INTERFACE_MAP(CAFOwlDocView)
        KVD_INTERFACE_ENTRY(IClientWindow)
        KVD_INTERFACE_ENTRY_CHAIN(DocViewBase)
    KVD_END_INTERFACE_MAP()
    uint32_t AddRef() override { return DocViewBase::AddRef(); }
    uint32_t Release() override { return DocViewBase::Release(); }
    KVD_IMPLEMENT_QUERYINTERFACE()

    // The view's window, then its position from the host's stored position for this view, when
    // the view keeps one.
    HRESULT DoCreateWindow(IClientWindowSite* site, HWND* out) override
    {
        const HRESULT hr = DocWindowViewBase::DoCreateWindow(site, out);
        if constexpr (DocViewDetail::PositionsItself<View>::value) {
            if (hr == KVD_S_OK && mView != nullptr)
                mView->InitialisePosition(HostDocument());
        }
        return hr;
    }

    TWindow* ConstructClass(TWindow& parent, NSBundle* bundle) override
    {
        mView = new View(&parent, GetViewClassPtr(), AsDocView(), GetDocumentPtr(), bundle);
        InitViewWindow(*mView);
        AttachEventHandler(*mView);
        return mView;
    }

    // Hook for subclasses, run before the view is attached.
    virtual void InitViewWindow(View&) {}

    // The view's own name once it exists, else the view class's.
    HRESULT GetViewName(IAutoKVDString** name) override
    {
        if (name == nullptr)
            return KVD_E_POINTER;
        if constexpr (DocViewDetail::HasViewName<View>::value) {
            if (mView != nullptr) {
                mView->GetViewName().GetOut(name);
                return KVD_S_OK;
            }
        }
        IDocViewClass* cls = GetViewClassPtr();
        return cls == nullptr ? KVD_S_FALSE : cls->GetViewName(name);
    }

    // The view goes with the close: it is detached and deleted, once.
    HRESULT Close() override
    {
        const KVD::COMPtr<IDocView> alive(AsDocView());
        const HRESULT hr = DocWindowViewBase::Close();
        if (IsClosed())
            DeleteView();
        return hr;
    }

    View* GetView() const { return mView; }

private:
    // The host document the view stands in: the document itself, or the root it lives under.
    KVD::COMPtr<IAutoOrrelDoc> HostDocument() const
    {
        KVD::COMPtr<IAutoOrrelDoc> host(KVD::com_cast(GetDocumentPtr()));
        if (host == nullptr && GetDocumentPtr() != nullptr) {
            KVD::COMPtr<IDocument> root;
            GetDocumentPtr()->GetRootDocument(root.Set());
            host = KVD::com_cast(root.get());
        }
        return host;
    }

    void DeleteView()
    {
        if (View* view = std::exchange(mView, nullptr)) {
            view->DetachProxy();
            delete view;
        }
    }

    View* mView = nullptr;  // owned
};
