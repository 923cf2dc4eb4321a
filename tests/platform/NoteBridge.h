// The bridge of a page whose only call is the queued "host.Note": it counts the notes that
// reach the host, so that a test can tell a call served from one refused.
#pragma once

#include <string>
#include <vector>

#include "web/Page.h"

inline Web::BridgeObject NoteCounter(int& notes)
{
    Web::BridgeObject bridge;
    bridge.name = "host";
    bridge.methods = {{"Note", Web::BridgeObject::Call::Queued}};
    bridge.handler = [&notes](const std::string&, const std::vector<Web::Value>&) {
        ++notes;
        return Web::Value();
    };
    return bridge;
}
