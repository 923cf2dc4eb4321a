// The data pane's stored settings: a versioned record of its interactive objects and channel
// panes.
#include "foundation/XKVD.h"
#include "trace/DataPane.h"

namespace OrrelDraw {

namespace {

constexpr unsigned kPaneVersion = 2;
constexpr unsigned kObjectVersion = 2;

}  // namespace

// ---- Persistence ----

HRESULT DataPane::Write(IBinOutStream* stream) const
{
    stream->WriteWord32(kPaneVersion);
    stream->WriteWord32(kObjectVersion);
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.Write(stream); });
    for (const auto& pane : mPanes)
        pane->Write(stream);
    return KVD_S_OK;
}

HRESULT DataPane::Read(IBinInStream* stream)
{
    unsigned version = 0;
    stream->ReadWord32(&version);
    if (version > kPaneVersion)
        throw XKVD(int(KVD_E_NEWERVERSION));
    if (version == kPaneVersion) {
        OnRead(stream);
        for (auto& pane : mPanes)
            pane->Read(stream);
    }
    return KVD_S_OK;
}

}  // namespace OrrelDraw
