// Messages through the host: built by the host's factory, stored under their keys by the
// host's processor, delivered down the handler tree, and replayed from the registrar.
#include <gtest/gtest.h>

#include "FrameworkIds.h"
#include "TestHandlers.h"
#include "host/settings/SettingsRegistrar.h"

using namespace FrameworkTest;

namespace {

// root -> childA -> grandchild, root -> childB; root keeps a registrar.
struct Tree {
    Log log;
    Ref<DocHandler> root{"root", log};
    Ref<DocHandler> childA{"childA", log};
    Ref<DocHandler> childB{"childB", log, true};
    Ref<DocHandler> grandchild{"grandchild", log};
    ISettingsRegistrar* registrar = Host::SettingsRegistrar::Create();

    Tree()
    {
        root->mRegistrar = registrar;
        registrar->AddRef();
        // Built bottom-up: the grandchild must still end up sending to the root.
        childA->AddChildHandler(grandchild.get());
        root->AddChildHandler(childA.get());
        root->AddChildHandler(childB.get());
    }
    ~Tree()
    {
        root->DoCleanup();
        registrar->Release();
    }
};

TEST(MessageTree, DefaultHandlersAreTheRootAndImpossibleSendsAreRefused)
{
    Tree tree;
    EXPECT_EQ(tree.root->GetDestination(), static_cast<IMessageHandler*>(tree.root.get()));
    EXPECT_EQ(tree.childA->GetDestination(), static_cast<IMessageHandler*>(tree.root.get()));
    EXPECT_EQ(tree.grandchild->GetDestination(), static_cast<IMessageHandler*>(tree.root.get()));
    EXPECT_EQ(tree.grandchild->GetParent(), static_cast<IMessageHandler*>(tree.childA.get()));
    IMessageHandler* out = nullptr;
    EXPECT_EQ(tree.childB->GetDefaultHandler(&out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<IMessageHandler*>(tree.root.get()));
    out->Release();
    // A handler disabled sends nothing; a send without a destination is refused.
    EXPECT_EQ(tree.root->SendMsg(nullptr, NoteMsg(L"nowhere"), 0), KVD_E_POINTER);
    tree.root->Enable(false);
    EXPECT_EQ(tree.root->SendMsg(tree.root.get(), NoteMsg(L"off"), 0), KVD_E_BADSTATE);
    tree.root->Enable(true);
    EXPECT_TRUE(tree.log.empty());
}

TEST(MessageTree, EveryParameterKindReachesTheTreeInOrderUntilAHandlerStops)
{
    Tree tree;
    AllKindsMsg data(7, -8, 0.25, 0x00120034, KVD::String(L"text \u00fc"), tagRECT{1, 2, 3, 4}, true);
    EXPECT_EQ(tree.grandchild->SendMsg(tree.grandchild->GetDestination(), data, 0), KVD_S_OK);
    const std::string values = "7 -8 0.250000 1179700 text \xc3\xbc 1,2,3,4 true";
    EXPECT_EQ(tree.log, (Log{"root: " + values, "childA: " + values, "grandchild: " + values, "childB: " + values}));

    // A handler that stops ends the walk.
    tree.log.clear();
    Ref<DocHandler> late{"late", tree.log};
    tree.root->AddChildHandler(late.get());
    EXPECT_EQ(tree.childA->SendMsg(tree.childA->GetDestination(), StopMsg(), 0), KVD_S_FALSE);
    EXPECT_EQ(tree.log, (Log{"root: stops not", "childA: stops not", "grandchild: stops not", "childB: stops"}));
}

TEST(MessageTree, ABroadcastSkipsItsSender)
{
    Tree tree;
    EXPECT_EQ(tree.grandchild->SendMsg(tree.grandchild->GetDestination(), NoteMsg(L"mine"), kMsgFlag_NotToSender),
              KVD_S_OK);
    EXPECT_EQ(tree.log, (Log{"root: mine", "childA: mine", "childB: mine"}));
    // The sender is skipped with what lies below it.
    tree.log.clear();
    EXPECT_EQ(tree.childA->SendMsg(tree.childA->GetDestination(), NoteMsg(L"ours"), kMsgFlag_NotToSender), KVD_S_OK);
    EXPECT_EQ(tree.log, (Log{"root: ours", "childB: ours"}));
    // Without the flag the sender receives its own message too.
    tree.log.clear();
    EXPECT_EQ(tree.childA->SendMsg(tree.childA->GetDestination(), NoteMsg(L"again"), 0), KVD_S_OK);
    EXPECT_EQ(tree.log, (Log{"root: again", "childA: again", "grandchild: again", "childB: again"}));
}

TEST(MessageTree, KeyedMessagesAreStoredAndReplayedInStoreOrder)
{
    Tree tree;
    const SRKey first(NoteMsgId::GetId(), 1u, nullptr);
    const SRKey second(AllKindsMsgId::GetId(), KVD::String(L"named"), nullptr);
    const SRKey third(NoteMsgId::GetId(), 3u, nullptr);
    IMessageHandler* root = tree.root.get();
    tree.childB->SendMsg(root, NoteMsg(L"one"), first, 0);
    tree.childB->SendMsg(root, AllKindsMsg(1, 2, 3, 4, KVD::String(L"two"), tagRECT{5, 6, 7, 8}, false), second, 0);
    tree.childB->SendMsg(root, NoteMsg(L"three"), third, 0);
    // Storing again under the first key replaces its message and makes it the latest.
    tree.childB->SendMsg(root, NoteMsg(L"one again"), first, 0);
    uint32_t count = 0;
    tree.registrar->GetObjectCount(&count);
    EXPECT_EQ(count, 3u);

    // One key, into one handler's own tables.
    tree.log.clear();
    EXPECT_EQ(tree.grandchild->InitializeHandler(tree.registrar, second, false), KVD_S_OK);
    EXPECT_EQ(tree.log, (Log{"grandchild: 1 2 3.000000 4 two 5,6,7,8 false"}));
    EXPECT_EQ(tree.grandchild->InitializeHandler(tree.registrar, SRKey(NoteMsgId::GetId(), 9u, nullptr), false),
              KVD_S_FALSE);

    // The whole namespace, in store order, propagated down the tree.
    tree.log.clear();
    EXPECT_EQ(tree.childA->Initialize(tree.registrar, kTestGuid, true), KVD_S_FALSE);
    EXPECT_EQ(tree.log, (Log{"childA: 1 2 3.000000 4 two 5,6,7,8 false", "grandchild: 1 2 3.000000 4 two 5,6,7,8 false",
                             "childA: three", "grandchild: three", "childA: one again", "grandchild: one again"}));

    // A namespace with nothing in it ends at once.
    const _IID empty = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};
    tree.log.clear();
    EXPECT_EQ(tree.root->Initialize(tree.registrar, empty, true), KVD_S_FALSE);
    EXPECT_TRUE(tree.log.empty());
}

TEST(MessageTree, StringParametersAreCopiedByValue)
{
    Tree tree;
    const SRKey key(NoteMsgId::GetId(), 5u, nullptr);
    {
        KVD::String text(std::wstring(L"transient"));
        tree.root->SendMsg(tree.root.get(), NoteMsg(text), key, 0);
        text.SetAt(0, L'X');
    }
    tree.log.clear();
    tree.root->InitializeHandler(tree.registrar, key, false);
    EXPECT_EQ(tree.log, (Log{"root: transient"}));
}

TEST(MessageTree, ChildrenComeAndGo)
{
    Tree tree;
    EXPECT_EQ(tree.root->DetachChildHandler(tree.grandchild.get()), KVD_E_BADSTATE);
    EXPECT_EQ(tree.root->DetachChildHandler(nullptr), KVD_S_FALSE);
    EXPECT_EQ(tree.childA->DetachChildHandler(tree.grandchild.get()), KVD_S_OK);
    EXPECT_EQ(tree.childA->GetChildCount(), 0u);
    EXPECT_EQ(tree.grandchild->GetParent(), nullptr);
    // A handler that left its tree is a root again, and one without children passes everything.
    EXPECT_EQ(tree.grandchild->GetDestination(), static_cast<IMessageHandler*>(tree.grandchild.get()));
    EXPECT_EQ(tree.childA->CAFMessageHandler::DispatchKVDMessage(nullptr), KVD_S_OK);

    // Init with an owner adopts the handler as the owner's child.
    EXPECT_EQ(tree.grandchild->Init(static_cast<IMessageHandler*>(tree.childB.get())), KVD_S_OK);
    EXPECT_EQ(tree.grandchild->GetParent(), static_cast<IMessageHandler*>(tree.childB.get()));
    EXPECT_EQ(tree.grandchild->GetDestination(), static_cast<IMessageHandler*>(tree.root.get()));
}

}  // namespace
