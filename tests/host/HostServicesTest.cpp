// What the plot and trace code ask of a host document: channel display settings, sampling
// state, the registrar, and child message handlers that hear the document's messages.
#include <gtest/gtest.h>

#include "FrameworkIds.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFEventHandlerT.h"
#include "framework/ResponseTable.h"
#include "host/document/DataDocument.h"
#include "host/framework/Message.h"

namespace {

std::shared_ptr<Host::Recording> TenHertz()
{
    auto rec = std::make_shared<Host::Recording>("ten.csv", 10.0,
                                                 std::vector<Host::ChannelFormat>{{"Flow", "L/s", 0.001, 0.0}});
    rec->AddRecord(Host::RecordBlock{100, {std::vector<int16_t>(100, 5)}});
    return rec;
}

TEST(HostServices, ChannelColoursSamplingAndRegistrar)
{
    Host::DataDocument data(TenHertz());
    IAutoOrrelDoc* doc = data.AutoDocument();
    data.Document().SetChannelColour(0, 0x123456FF);  // only 24 bits are a colour
    uint32_t rgb = 0;
    doc->GetChannelColour(0, &rgb);
    EXPECT_EQ(rgb, 0x3456FFu);
    KVD::COMPtr<IChannelDisplaySettings2> settings;
    ASSERT_EQ(doc->GetChannelDisplaySettings(0, settings.Set()), KVD_S_OK);
    settings->GetTraceColour(&rgb);
    EXPECT_EQ(rgb & 0xFF, 0xFFu);  // red in the low byte
    EXPECT_EQ(rgb, 0x3456FFu);
    doc->GetChannelDisplaySettings(1, settings.Set());
    settings->GetTraceColour(&rgb);
    EXPECT_EQ(rgb, 0xFFFFFFu);

    int32_t sampling = -1;
    doc->GetSamplingState(&sampling);
    EXPECT_EQ(sampling, 0);
    data.Document().SetSampling(true);
    doc->GetSamplingState(&sampling);
    EXPECT_NE(sampling, 0);

    KVD::COMPtr<IUnknown> registrar;
    ASSERT_EQ(doc->GetSettingsRegistrar(registrar.Set()), KVD_S_OK);
    KVD::COMPtr<ISettingsRegistrar> asRegistrar(KVD::com_cast(registrar.get()));
    EXPECT_EQ(asRegistrar.get(), data.Document().GetRegistrar());
    KVD::COMPtr<IRecordData> records;
    EXPECT_EQ(doc->GetRecordData(0, records.Set()), KVD_S_OK);
    EXPECT_NE(records, nullptr);
    data.Close();
}

// A handler that counts the messages it hears.
class Listener : public KVD::CComObjectRoot, public CAFEventHandlerT<true> {
public:
    KVD_BEGIN_INTERFACE_MAP(Listener)
        KVD_INTERFACE_ENTRY(IMessageHandler)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()
    HRESULT DispatchKVDMessage(const IMessage*) override
    {
        ++heard;
        return KVD_S_OK;
    }
    int heard = 0;
};

// Handlers join the document's message tree uncounted and leave it when they go.
TEST(HostServices, ChildHandlersHearTheDocumentsMessages)
{
    Host::DataDocument data(TenHertz());
    KVD::COMPtr<IMessageHandler> document(KVD::com_cast(static_cast<IDocument*>(&data.Document())));
    auto* listener = new Listener;
    listener->AddRef();
    EXPECT_EQ(listener->Init(document), KVD_S_OK);
    EXPECT_EQ(listener->AddRef(), 2u);  // the document took no reference
    listener->Release();
    KVD::COMPtr<IMessage> message;
    ASSERT_EQ(Host::Message::Create(0x80010042, 0, 0, nullptr, nullptr, message.Set()), KVD_S_OK);
    EXPECT_EQ(document->DispatchKVDMessage(message), KVD_S_OK);
    EXPECT_EQ(listener->heard, 1);
    listener->Release();  // leaves the tree as it goes
    EXPECT_EQ(document->DispatchKVDMessage(message), KVD_S_OK);
    EXPECT_EQ(document->DetachChildHandler(document), KVD_E_BADSTATE);
    data.Close();
}

}  // namespace
