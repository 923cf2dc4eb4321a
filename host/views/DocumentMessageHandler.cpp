#include "host/views/DocumentMessageHandler.h"

#include <algorithm>

#include "foundation/COMPtr.h"

namespace Host {

HRESULT DocumentMessageHandler::DispatchKVDMessage(const IMessage* message)
{
    if (message == nullptr)
        return KVD_E_POINTER;
    uint32_t count = 0;
    mDocument.GetChildDocumentCount(&count);
    for (uint32_t i = 0; i < count; ++i) {
        KVD::COMPtr<IDocument> child;
        mDocument.GetChildDocumentAt(i, child.Set());
        const KVD::COMPtr<IMessageHandler> handler(KVD::com_cast(child.get()));
        if (handler != nullptr && handler->DispatchKVDMessage(message) == KVD_S_FALSE)
            return KVD_S_FALSE;
    }
    // A handler may detach itself, or another, while it handles the message.
    const std::vector<IMessageHandler*> handlers = mHandlers;
    for (IMessageHandler* handler : handlers) {
        if (std::find(mHandlers.begin(), mHandlers.end(), handler) == mHandlers.end())
            continue;
        const KVD::COMPtr<IMessageHandler> alive(handler);
        if (handler->DispatchKVDMessage(message) == KVD_S_FALSE)
            return KVD_S_FALSE;
    }
    return KVD_S_OK;
}

HRESULT DocumentMessageHandler::AddChildHandler(IMessageHandler* child)
{
    if (child == nullptr)
        return KVD_E_POINTER;
    mHandlers.push_back(child);
    child->SetParent(this);
    return KVD_S_OK;
}

HRESULT DocumentMessageHandler::DetachChildHandler(IMessageHandler* child)
{
    const auto found = std::find(mHandlers.begin(), mHandlers.end(), child);
    if (found == mHandlers.end())
        return child == nullptr ? KVD_S_FALSE : KVD_E_BADSTATE;
    mHandlers.erase(found);
    return KVD_S_OK;
}

HRESULT DocumentMessageHandler::SetParent(IMessageHandler*)
{
    return KVD_S_OK;
}

HRESULT DocumentMessageHandler::GetDefaultHandler(IMessageHandler** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    KVD::GiveOut(this, out);
    return KVD_S_OK;
}

}  // namespace Host
