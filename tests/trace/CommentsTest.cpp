// Comments in a data pane: a comment told to the pane redraws the comment layers of its pane (or
// of all panes) around where it shows, widened by how far the time scale's markers reach.
#include <gtest/gtest.h>

#include "DataPaneFixture.h"
#include "host/data/DocumentData.h"
#include "host/drawing/AnnotationEvents.h"
#include "trace/EventDrawer.h"

using namespace OrrelDraw;
using TraceTest::DataPaneTest;

namespace {

KVD::COMPtr<IOrrelRecordDrawer> Markers()
{
    return KVD::COMPtr<IOrrelRecordDrawer>(new EventDrawer(4096, TChannelId{Host::kAnnotationChannel, 0}));
}

class Note final : public KVD::detail::CountedUnknown<IOrrelComment> {
public:
    Note(uint32_t tick, int32_t channel) : mTick(tick), mChannel(channel) {}
    HRESULT GetPosition(KVDPosition* p) const override { return *p = KVDPosition{mTick, 0}, KVD_S_OK; }
    HRESULT GetChannel(int32_t* c) const override { return *c = mChannel, KVD_S_OK; }
    HRESULT GetText(IAutoKVDString** text) const override { return *text = nullptr, KVD_S_OK; }

private:
    uint32_t mTick;
    int32_t mChannel;
};

class Comments : public DataPaneTest {
protected:
    void SetUp() override
    {
        DataPaneTest::SetUp(2);  // 600 data pixels at 10 ticks per pixel: ticks 0 to 6000 show
        pane->AddRecordDrawer(-1, 0, Markers(), 0);
        Clean();
    }
    void Clean()
    {
        for (ChildPaneBase* p : Panes())
            for (int layer = 0; layer < kLayerCount; ++layer)
                p->GetLayer(layer).dirty = TRect();
    }
    std::vector<ChildPaneBase*> Panes()
    {
        return {&pane->GetTimeScale(), &pane->GetChannelPane(0), &pane->GetChannelPane(1)};
    }
    // Per child pane (time scale, pane 0, pane 1): the dirty x range of layers 5 and 6, or "-".
    std::vector<std::string> Dirty()
    {
        std::vector<std::string> out;
        for (ChildPaneBase* p : Panes()) {
            const Layer& five = p->GetLayer(5);
            const Layer& six = p->GetLayer(6);
            EXPECT_EQ(five.IsDirtyEmpty(), six.IsDirtyEmpty());
            const std::string range = std::to_string(five.dirty.left) + ".." + std::to_string(five.dirty.right);
            out.push_back(five.IsDirtyEmpty() ? "-" : range);
        }
        return out;
    }
};

TEST_F(Comments, ACommentRedrawsItsPaneAroundItsPlaceOnlyWhereItCanShow)
{
    ASSERT_EQ(pane->GetCommentLeftExtension(), 10);  // the event drawer's reach
    const int32_t ch1 = pane->GetChannelPane(1).Channel().channel;
    struct Case {
        uint32_t tick;
        int32_t channel;
        std::vector<std::string> dirty;
    } cases[] = {
        {3000, ch1, {"-", "-", "291..311"}},       // x = 1 + 300
        {3000, 0x55, {"-", "-", "-"}},             // a channel without pane
        {6050, ch1, {"-", "-", "596..616"}},       // right of the data, within the reach
        {6150, ch1, {"-", "-", "-"}},              // beyond it
        {59000, kAllChannelsComment, {"-", "-", "-"}},
    };
    for (const Case& c : cases) {
        Clean();
        KVD::COMPtr<IOrrelComment> note(new Note(c.tick, c.channel));
        EXPECT_EQ(pane->OnCommentsEvent(kCommentAdded, note), KVD_S_OK);
        EXPECT_EQ(Dirty(), c.dirty) << c.tick;
    }
}

TEST_F(Comments, TheRecordingsAnnotationsAreCommentsOnAllPanes)
{
    const Host::Annotation cough{3000 / data.recording->TickRate(), "cough"};
    KVD::COMPtr<IOrrelComment> comment(Host::CommentOfAnnotation(*data.recording, cough));
    ASSERT_NE(comment, nullptr);
    comment->Release();  // the comment pointer holds the one reference
    int32_t channel = 0;
    KVDPosition at{};
    comment->GetChannel(&channel);
    comment->GetPosition(&at);
    EXPECT_EQ(channel, kAllChannelsComment);
    EXPECT_EQ(at.tick, 3000u);
    EXPECT_EQ(at.record, 0);
    IAutoKVDString* out = nullptr;
    ASSERT_EQ(comment->GetText(&out), KVD_S_OK);
    EXPECT_EQ(KVD::ToU8String(KVD::String(out)), "cough");
    out->Release();
    pane->DrawNewComment(kCommentAdded, comment);
    EXPECT_EQ(Dirty(), (std::vector<std::string>{"291..311", "291..311", "291..311"}));
    // An annotation after the recording is no comment of it.
    EXPECT_EQ(Host::CommentOfAnnotation(*data.recording, {1e6, "late"}), nullptr);
}

TEST_F(Comments, TheReachIsKeptUntilTheReferenceContextChanges)
{
    KVD::COMPtr<TraceTest::TestDataPane> bare(
        new TraceTest::TestDataPane(PaneFlag::kLeftScale, 0, [] { return int64_t(0); }));
    EXPECT_EQ(bare->GetCommentLeftExtension(), 0);  // no markers on the time scale
    bare->AddRecordDrawer(-1, 0, Markers(), 0);
    EXPECT_EQ(bare->GetCommentLeftExtension(), 0);
    bare->ClearReferenceContext();
    EXPECT_EQ(bare->GetCommentLeftExtension(), 10);
}

}  // namespace

namespace {

TEST_F(Comments, AnAnnotationTheHostAddsReachesThePanesShowingTheRecording)
{
    const Host::Annotation note{4000 / data.recording->TickRate(), "sigh"};
    data.recording->AddAnnotation(note);
    KVD::COMPtr<IOrrelComment> comment(Host::CommentOfAnnotation(*data.recording, note));
    comment->Release();
    auto& host = *static_cast<Host::DocumentData*>(data.data.get());
    host.NotifyComment(kCommentAdded, comment);
    EXPECT_EQ(Dirty(), (std::vector<std::string>{"391..411", "391..411", "391..411"}));
    // A pane that shows other data hears nothing of it.
    TraceTest::TraceData other(TraceTest::MakeRecording({20000}));
    pane->SetRecordData(0, other.data, nullptr);
    Clean();
    host.NotifyComment(kCommentAdded, comment);
    EXPECT_EQ(Dirty(), (std::vector<std::string>{"-", "-", "-"}));
}

}  // namespace
