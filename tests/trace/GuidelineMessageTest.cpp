// A channel pane's guideline request travels as a message through the host's processor to the
// handler of the pane's view.
#include <gtest/gtest.h>

#include <vector>

#include "DataPaneFixture.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFEventHandlerT.h"
#include "framework/ResponseTable.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;

namespace {

struct GuidelineRequest {
    int kind, channel;
    unsigned tick;
    int record;
    ViewId view;
};

class ViewHandler : public CAFEventHandler, public KVD::CComObjectRoot {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    KVD_BEGIN_INTERFACE_MAP(ViewHandler)
        KVD_INTERFACE_ENTRY(IMessageHandler)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()

    bool HmGuideline(int kind, int channel, unsigned tick, int record)
    {
        requests.push_back({kind, channel, tick, record, 0});
        return true;
    }
    HRESULT DispatchKVDMessage(const IMessage* message) override
    {
        uint32_t flags = 0;
        message->GetFlags(&flags);
        messageFlags.push_back(flags);
        const HRESULT hr = CAFEventHandler::DispatchKVDMessage(message);
        if (!requests.empty())
            message->GetViewId(&requests.back().view);
        return hr;
    }

    std::vector<GuidelineRequest> requests;
    std::vector<uint32_t> messageFlags;
};

CAF_DEFINE_RESPONSE_TABLE(ViewHandler, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Message<ViewHandler, GuidelineMsg>(&ViewHandler::HmGuideline),
    TableEnd(),
};

TEST_F(DataPaneTest, AGuidelineRequestReachesTheViewsHandlerOnlyWithHandlerAndView)
{
    SetUp(2);
    ViewHandler* handler = new ViewHandler;
    handler->AddRef();
    const KVDPosition at{1234, 0};

    // Without a handler, or without a view, nothing can open the dialog.
    EXPECT_EQ(pane->GetChannelPane(1).ShowGuideLinesDlg(at), KVD_E_BADSTATE);
    pane->SetMessageHandler(handler, 0);
    EXPECT_EQ(pane->GetChannelPane(1).ShowGuideLinesDlg(at), KVD_E_BADSTATE);
    EXPECT_TRUE(handler->messageFlags.empty());

    pane->SetMessageHandler(handler, 0x0003000100000042ull);
    EXPECT_EQ(pane->GetChannelPane(1).ShowGuideLinesDlg(at), KVD_S_OK);
    ASSERT_EQ(handler->requests.size(), 1u);
    const GuidelineRequest& got = handler->requests[0];
    EXPECT_EQ(got.kind, 34);
    EXPECT_EQ(got.channel, pane->GetChannelPane(1).Channel().channel);
    EXPECT_EQ(got.tick, 1234u);
    EXPECT_EQ(got.record, 0);
    EXPECT_EQ(got.view, 0x0003000100000042ull);
    ASSERT_EQ(handler->messageFlags.size(), 1u);
    EXPECT_EQ(handler->messageFlags[0] & 0xFFFFu, 4u);
    EXPECT_EQ(GuidelineMsg::GetId(), 0x800C008Du);

    pane->SetMessageHandler(nullptr, 0);
    handler->DoCleanup();
    handler->Release();
}

}  // namespace
