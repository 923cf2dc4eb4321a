#include "framework/CAFMessageHandler.h"

#include <utility>
#include <vector>

#include "FrameworkIds.h"

CAFMessageHandler::CAFMessageHandler()
{
    SetDestination(this, false);
}

// The object is past its last reference here: no reference may be taken on it.
CAFMessageHandler::~CAFMessageHandler()
{
    Cleanup();
}

HRESULT CAFMessageHandler::DispatchKVDMessage(const IMessage* message)
{
    // A child may detach itself (or another) while it handles the message.
    std::vector<KVD::COMPtr<IMessageHandler>> children;
    for (unsigned i = 0; i < mChildren.GetCount(); ++i)
        children.emplace_back(mChildren[i]);
    for (const auto& child : children)
        if (child->DispatchKVDMessage(message) != KVD_S_OK)
            return KVD_S_FALSE;
    return KVD_S_OK;
}

HRESULT CAFMessageHandler::AddChildHandler(IMessageHandler* child)
{
    if (child == nullptr)
        return KVD_E_POINTER;
    mChildren.Add(child);
    child->SetParent(this);
    return KVD_S_OK;
}

HRESULT CAFMessageHandler::DetachChildHandler(IMessageHandler* child)
{
    if (child == nullptr)
        return KVD_S_FALSE;
    child->SetParent(nullptr);
    const unsigned index = mChildren.Find(child);
    if (index == CArrayVoidP::kNotFound)
        return KVD_E_BADSTATE;
    mChildren.Detach(index);
    return KVD_S_OK;
}

HRESULT CAFMessageHandler::SetParent(IMessageHandler* parent)
{
    mParent = parent;
    SetAttributesFromParent(parent);
    return KVD_S_OK;
}

void CAFMessageHandler::SetAttributesFromParent(IMessageHandler* parent)
{
    if (parent != nullptr) {
        KVD::COMPtr<IMessageHandler> root;
        parent->GetDefaultHandler(root.Set());
        SetDestination(root, root != parent);
    } else {
        SetDestination(this, false);
    }
    for (unsigned i = 0; i < mChildren.GetCount(); ++i)
        mChildren[i]->SetParent(this);
}

HRESULT CAFMessageHandler::GetDefaultHandler(IMessageHandler** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    KVD::GiveOut(GetDestination(), out);
    return KVD_S_OK;
}

HRESULT CAFMessageHandler::Init(IUnknown* owner)
{
    if (owner == nullptr) {
        SetParent(nullptr);
        return KVD_S_OK;
    }
    KVD::COMPtr<IMessageHandler> handler(KVD::com_cast(owner));
    return handler == nullptr ? KVD_E_NOINTERFACE : handler->AddChildHandler(this);
}

bool CAFMessageHandler::CanDispatch(const IMessage* message) const
{
    uint32_t flags = 0;
    message->GetFlags(&flags);
    if ((flags & kMsgFlag_NotToSender) == 0)
        return true;
    AutoBool isSender = kAutoFalse;
    message->IsSender(SenderMark(), &isSender);
    return isSender == kAutoFalse;
}

HRESULT CAFMessageHandler::SendMsgHook(IMessageHandler* destination, const IMessage* message)
{
    return CAFMessageSender::SendMsgHook(destination, message);
}

void CAFMessageHandler::DoCleanup()
{
    // Leaving the parent may drop the last reference to this handler.
    AddRef();
    Cleanup();
    Release();
}

void CAFMessageHandler::Cleanup()
{
    if (IMessageHandler* parent = std::exchange(mParent, nullptr))
        parent->DetachChildHandler(this);
    DetachAllChildren();
    CAFMessageSender::DoCleanup();
}

void CAFMessageHandler::DetachAllChildren()
{
    for (unsigned i = 0; i < mChildren.GetCount(); ++i)
        mChildren[i]->SetParent(nullptr);
    mChildren.SetCount(0);
}
