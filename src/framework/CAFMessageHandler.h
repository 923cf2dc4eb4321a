// A node of the tree of message handlers: it receives messages and offers them to its children
// in order, and sends through its sender to its default handler, the root of its tree.
#pragma once

#include "foundation/InterfaceArray.h"
#include "framework/CAFMessageSender.h"

// AddRef, Release and QueryInterface are the concrete class's.
class CAFMessageHandler : public IMessageHandler, public CAFMessageSender {
public:
    // A root: the sender is aimed at the handler itself, without a reference.
    CAFMessageHandler();
    ~CAFMessageHandler() override;

    // Offers the message to each child in order; the first child that stops it ends the walk
    // with KVD_S_FALSE.
    HRESULT DispatchKVDMessage(const IMessage* message) override;
    HRESULT AddChildHandler(IMessageHandler* child) override;
    // KVD_S_FALSE for null; KVD_E_BADSTATE when child is not a child of this handler.
    HRESULT DetachChildHandler(IMessageHandler* child) override;
    HRESULT SetParent(IMessageHandler* parent) override;
    HRESULT GetDefaultHandler(IMessageHandler** out) override;

    // A message flagged kMsgFlag_NotToSender is not dispatched to the handler that sent it.
    virtual bool CanDispatch(const IMessage* message) const;
    HRESULT SendMsgHook(IMessageHandler* destination, const IMessage* message) override;
    // Leaves the parent, detaches every child and drops the destination.
    void DoCleanup() override;

    // Becomes a child of the owner's message handler, or a root without an owner.
    HRESULT Init(IUnknown* owner);
    IMessageHandler* GetParent() const { return mParent; }
    unsigned GetChildCount() const { return mChildren.GetCount(); }

protected:
    // Aims the sender at the parent's default handler (the handler itself without a parent),
    // and passes the change on to the children, whose default handler it also is.
    void SetAttributesFromParent(IMessageHandler* parent);
    void DetachAllChildren();

private:
    void Cleanup();

    InterfaceArray<IMessageHandler> mChildren;
    IMessageHandler* mParent = nullptr;
};
