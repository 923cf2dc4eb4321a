// A view of the spirometry document opened as the host opens it: its class registered with the
// object factory under its type id, the view made through the document, and closed again.
#pragma once

#include <gtest/gtest.h>

#include "ICustomDocument.h"
#include "IDocView.h"
#include "IDocument.h"
#include "foundation/COMPtr.h"
#include "foundation/ClassObjectAccessor.h"
#include "framework/CAFOwlDocView.h"

namespace ViewsTest {

// Registers the class under the type id in place of any other; the factory keeps it.
inline void RegisterViewClass(IDocViewClass* cls, TCAFId type)
{
    const KVD::COMPtr<IDocViewClass> held(cls);
    ObjectFactoryAccessor::Get()->RevokeClassObject(type);
    EXPECT_EQ(ObjectFactoryAccessor::Get()->RegisterClassObject(held.get()), KVD_S_OK);
}

template <class View>
class OpenedSpiroView {
public:
    // Opens the view of the registered class of that type id on the document.
    View& Open(ICustomDocument* child, TCAFId type)
    {
        mDocument = KVD::com_cast(child);
        KVD::COMPtr<IUnknown> view;
        EXPECT_EQ(mDocument->OpenView(type, view.Set()), KVD_S_OK);
        mDocView = KVD::com_cast(view.get());
        EXPECT_NE(mDocView, nullptr);
        mView = static_cast<CAFOwlDocView<View>*>(static_cast<IDocView2*>(mDocView.get()))->GetView();
        return *mView;
    }
    void Close()
    {
        if (mDocView != nullptr)
            mDocument->CloseView(mDocView);
        mDocView.Clear();
        mDocument.Clear();
        mView = nullptr;
    }
    View* Get() const { return mView; }
    IDocView* DocView() const { return mDocView; }

private:
    KVD::COMPtr<IDocument> mDocument;
    KVD::COMPtr<IDocView> mDocView;
    View* mView = nullptr;
};

}  // namespace ViewsTest
