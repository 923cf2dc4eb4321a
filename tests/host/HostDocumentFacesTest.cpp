// The host document's faces: one identity and one count for the document, its subject, its
// message handler and the interfaces it lends from its parts.
#include <gtest/gtest.h>

#include "IMessageHandler.h"
#include "IObserver.h"
#include "ISettingsRegistrar.h"
#include "ResultCodes.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "host/document/HostDocument.h"

namespace {

uint32_t RefsOf(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

IUnknown* IdentityOf(IUnknown* face)
{
    const KVD::COMPtr<IUnknown> identity(KVD::com_cast(face));
    return identity.get();
}

KVD::COMPtr<Host::HostDocument> MakeDocument()
{
    return KVD::COMPtr<Host::HostDocument>::Take(Host::HostDocument::Create(KVD::String(L"Doc")));
}

TEST(HostDocumentFaces, EveryFaceAnswersTheDocumentAsItsIdentity)
{
    const auto document = MakeDocument();
    IUnknown* identity = static_cast<IDocument*>(document.get());
    EXPECT_EQ(RefsOf(identity), 1u);
    EXPECT_EQ(IdentityOf(static_cast<IDocumentSite*>(document.get())), identity);
    EXPECT_EQ(IdentityOf(static_cast<IAutoOrrelDoc*>(document.get())), identity);
    const KVD::COMPtr<ISubject> subject(KVD::com_cast(identity));
    ASSERT_NE(subject, nullptr);
    EXPECT_EQ(IdentityOf(subject), identity);
    const KVD::COMPtr<IMessageHandler> handler(KVD::com_cast(identity));
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(IdentityOf(handler), identity);
    // Each face held above counts the document once.
    EXPECT_EQ(RefsOf(identity), 3u);
}

TEST(HostDocumentFaces, TheMessageHandlerCountsTheDocumentAndIsItsOwnDefault)
{
    const auto document = MakeDocument();
    const KVD::COMPtr<IMessageHandler> handler(KVD::com_cast(static_cast<IDocument*>(document.get())));
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(RefsOf(handler), 2u);
    KVD::COMPtr<IMessageHandler> fallback;
    ASSERT_EQ(handler->GetDefaultHandler(fallback.Set()), KVD_S_OK);
    EXPECT_EQ(fallback.get(), handler.get());
    EXPECT_EQ(RefsOf(static_cast<IDocument*>(document.get())), 3u);
    const KVD::COMPtr<IAutoOrrelDoc> back(KVD::com_cast(handler));
    EXPECT_EQ(back.get(), static_cast<IAutoOrrelDoc*>(document.get()));
}

TEST(HostDocumentFaces, TheRegistrarAndTheSelectionAreLentWithAReference)
{
    const auto document = MakeDocument();
    const KVD::COMPtr<ISettingsRegistrar> registrar(KVD::com_cast(static_cast<IDocument*>(document.get())));
    ASSERT_NE(registrar, nullptr);
    EXPECT_EQ(registrar.get(), document->GetRegistrar());
    KVD::COMPtr<IRecordDataSelection> selection;
    ASSERT_EQ(document->GetSelection(0, selection.Set()), KVD_S_OK);
    ASSERT_NE(selection, nullptr);
    EXPECT_EQ(RefsOf(selection), 2u);  // the document's and this one
    EXPECT_EQ(RefsOf(static_cast<IDocument*>(document.get())), 1u);
    EXPECT_EQ(document->GetSelection(0, nullptr), KVD_E_POINTER);

    // A child object is lent with a reference of its own, its keeper's untouched.
    document->SetChildObject(0x00420001, selection);
    KVD::COMPtr<IUnknown> child;
    ASSERT_EQ(document->GetChildObject(0x00420001, 0, child.Set()), KVD_S_OK);
    EXPECT_EQ(child.get(), static_cast<IUnknown*>(selection.get()));
    EXPECT_EQ(RefsOf(selection), 4u);
    EXPECT_EQ(document->GetChildObject(0x00420002, 0, child.Set()), KVD_S_FALSE);
}

}  // namespace
