// The message handler of a host document: what the plug-in's views send to their root document
// (window positions, requests to close a view) arrives here and is offered to each child
// document in turn, then to the handlers added to it (the plug-in's plot-state tasks). It is a
// face of the document: counting and every other interface are the document's, so that a keyed
// message is stored in the document's settings registrar.
#pragma once

#include "IDocument.h"
#include "IMessageHandler.h"
#include "foundation/UnknownImp.h"

#include <vector>

namespace Host {

class DocumentMessageHandler final : public KVD::DelegatingUnknown<IMessageHandler> {
public:
    explicit DocumentMessageHandler(IDocument& document) : DelegatingUnknown(&document), mDocument(document) {}

    // The children in order; the first that stops the message ends the walk with KVD_S_FALSE.
    HRESULT DispatchKVDMessage(const IMessage* message) override;
    // Handlers added are not counted (they would keep themselves alive through the document):
    // each detaches itself when it goes, as the framework's handlers do.
    HRESULT AddChildHandler(IMessageHandler* child) override;
    HRESULT DetachChildHandler(IMessageHandler* child) override;
    HRESULT SetParent(IMessageHandler* parent) override;
    // The document is the root of its tree.
    HRESULT GetDefaultHandler(IMessageHandler** out) override;

private:
    IDocument& mDocument;
    std::vector<IMessageHandler*> mHandlers;
};

}  // namespace Host
