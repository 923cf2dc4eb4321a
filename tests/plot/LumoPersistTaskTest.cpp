// Plot state kept with the document: ranges and region positions the page reports are stored
// by the host under their keys, come back to the task, are replayed into a new task and end up
// in the markup sent to the page.
#include <gtest/gtest.h>

#include <limits>
#include <map>

#include "IMessage.h"
#include "LumoPageFixture.h"
#include "host/document/HostDocument.h"
#include "plot/LumoPersistTask.h"
#include "framework/SRKey.h"
#include "plot/MarkupParse.h"

namespace PlotTest {
namespace {

using KVD::LumoPersistTask;
using KVD::String;

// A task without a host: ranges and positions are given to it directly.
struct LoneTask {
    LumoPersistTask* task = new LumoPersistTask(String(L"local"), nullptr, nullptr, nullptr);
    LoneTask() { task->AddRef(); }
    ~LoneTask() { task->Release(); }
    LumoPersistTask* operator->() const { return task; }
};

std::string Modified(const LumoPersistTask& task, const std::string& markup)
{
    std::wstring text = KVD::ToKVDString(markup).c_str();
    task.ModifyMarkup(text);
    return KVD::ToU8String(String(text));
}

const char* const kAutoY = "yscalemin: 0.0, yscalemax: 1.0, do_initial_autoscale_y: true, ";
const char* const kAutoX = "xscalemin: 0.0, xscalemax: 1.0, do_initial_autoscale_x: true, ";

TEST(LumoPersistTask, RangesAreAppendedOrAutoscaled)
{
    LoneTask task;
    EXPECT_EQ(Modified(*task.task, ""), "");
    EXPECT_EQ(Modified(*task.task, "title: 'a'"), std::string("title: 'a', ") + kAutoY + kAutoX);
    task->HmSetRangeY(String(L"local"), 10, -2.5);
    const std::string y = "yscalemin: -2.5,yscalemax: 10, do_initial_autoscale_y: false, ";
    EXPECT_EQ(Modified(*task.task, "title: 'a'"), "title: 'a', " + y + kAutoX);
    // A markup that ends in a comma (and blanks) gets no comma of ours; blank markup does.
    EXPECT_EQ(Modified(*task.task, "a: 1, \t "), "a: 1, \t " + y + kAutoX);
    EXPECT_EQ(Modified(*task.task, "  "), "  , " + y + kAutoX);
    // Nor does one whose comma ends a line: a second comma would not parse.
    for (const std::string end : {",\n", ",\r\n", ", \r\n\t"}) {
        const std::string edited = Modified(*task.task, "a: 1" + end);
        EXPECT_EQ(edited, "a: 1" + end + y + kAutoX);
        Lumo::Markup::AST ast;
        EXPECT_TRUE(Lumo::Parse(edited, ast)) << edited;
    }
    // Every digit the range needs to read back the same, no digit groups.
    task->HmSetRangeXEx(String(L"local"), 1234567.0, 0.000123456789, true);
    EXPECT_EQ(Modified(*task.task, "a: 1"),
              "a: 1, " + y + "xscalemin: 0.000123456789,xscalemax: 1234567, do_initial_autoscale_x: false, ");
    // Never set, cleared to 0, or not numbers: autoscaled.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    task->HmSetRangeY(String(L"local"), nan, 1);
    task->HmSetRangeX(String(L"local"), 0, 0);
    EXPECT_EQ(Modified(*task.task, "a: 1"), std::string("a: 1, ") + kAutoY + kAutoX);
}

// A zoom of three milliseconds an hour in: both ends come back exactly, not as one value
// that the page would autoscale.
TEST(LumoPersistTask, ANarrowRangeReadsBackExactly)
{
    LoneTask task;
    const double low = 3600.001, high = 3600.004;
    task->HmSetRangeX(String(L"local"), high, low);
    task->HmSetRangeY(String(L"local"), 1e-300, -0.1);
    const std::string edited = Modified(*task.task, "a: 1");
    EXPECT_EQ(edited, "a: 1, yscalemin: -0.1,yscalemax: 1e-300, do_initial_autoscale_y: false, "
                      "xscalemin: 3600.001,xscalemax: 3600.004, do_initial_autoscale_x: false, ");
    // The markup read back gives the very doubles stored.
    Lumo::Markup::AST ast;
    ASSERT_TRUE(Lumo::Parse(edited, ast));
    std::map<std::string, double> read;
    for (const auto& entry : ast)
        if (const double* value = boost::get<double>(&entry.value))
            read[entry.name] = *value;
    EXPECT_EQ(read["xscalemin"], low);
    EXPECT_EQ(read["xscalemax"], high);
    EXPECT_EQ(read["yscalemax"], 1e-300);
}

TEST(LumoPersistTask, MessagesForOtherPlotsAreIgnored)
{
    LoneTask task;
    // Ranges match the plot id exactly, region messages ignoring case; all answer handled.
    EXPECT_TRUE(task->HmSetRangeX(String(L"LOCAL"), 5, 1));
    EXPECT_TRUE(task->HmSetRangeYEx(String(L"local"), 5, 1, false));
    EXPECT_TRUE(task->HmSetRegionPos(String(L"LOCAL"), String(L"L1"), 12.5, 40));
    EXPECT_TRUE(task->HmSetRegionText(String(L"other"), String(L"L1"), String(L"x")));
    ChannelYDataRange x, y;
    task->GetScaleRanges(x, y);
    EXPECT_EQ(x, ChannelYDataRange{});
    EXPECT_EQ(y, (ChannelYDataRange{5, 1}));
    EXPECT_TRUE(task->RegionTexts().empty());
    EXPECT_EQ(Modified(*task.task, "legend: { id: 'L1' }").substr(0, 44), "legend: { id: 'L1', x_percent: 12.5, y_perce");
    ChannelYDataRange none;
    task->GetScaleRange(2, none);
    EXPECT_EQ(none.high, std::numeric_limits<double>::max());
    EXPECT_EQ(none.low, std::numeric_limits<double>::lowest());
    EXPECT_FALSE(ChannelUnitsRange::RangeIsValid(none));
}

TEST(LumoPersistTask, ScaleRangesKeptOnlyWhereAsked)
{
    LoneTask task;
    task->SetScaleRanges(ChannelYDataRange{4, 2}, ChannelYDataRange{}, false, false);
    task->SetScaleRanges(ChannelYDataRange{9, 8}, ChannelYDataRange{7, 6}, false, true);
    ChannelYDataRange x, y;
    task->GetScaleRanges(x, y);
    EXPECT_EQ(x, (ChannelYDataRange{4, 2}));  // kept: only where none is kept
    EXPECT_EQ(y, (ChannelYDataRange{7, 6}));
    task->GetScaleRange(1, y);
    EXPECT_EQ(y, (ChannelYDataRange{7, 6}));
}

// Positions go into the first entry of each kind, after its last value, inside its own braces.
TEST(LumoPersistTask, RegionPositionsGoIntoTheirEntries)
{
    LoneTask task;
    task->HmSetRegionPos(String(L"local"), String(L"L1"), 12.5, 40);
    task->HmSetRegionPos(String(L"local"), String(L"T1"), 1, 2);
    const struct {
        const char* markup;
        const char* edited;
    } cases[] = {
        {"legend: { id: 'L1', visible: true }", "legend: { id: 'L1', visible: true, x_percent: 12.5, y_percent: 40 }"},
        {"legend: {id: 'L1', visible: true}", "legend: {id: 'L1', visible: true, x_percent: 12.5, y_percent: 40}"},
        {"legend: { id: \"L1\", }", "legend: { id: \"L1\", x_percent: 12.5, y_percent: 40 }"},
        {"legend: { id: 'L1', font: { size: 9 } }",
         "legend: { id: 'L1', font: { size: 9 }, x_percent: 12.5, y_percent: 40 }"},
        {"legend: { id: 'l1' }", "legend: { id: 'l1' }"},  // ids match exactly
        {"legend: { grid: 'T1', id: 'L1' }", "legend: { grid: 'T1', id: 'L1', x_percent: 12.5, y_percent: 40 }"},
        // No id of its own: the next entry's is not taken.
        {"legend: { visible: true }, text_region: { id: 'L1' }",
         "legend: { visible: true }, text_region: { id: 'L1', x_percent: 12.5, y_percent: 40 }"},
        {"text_region: { id: 'T1' }", "text_region: { id: 'T1', x_percent: 1, y_percent: 2 }"},
        {"legend: { id: 'L1' }, legend: { id: 'L1' }",
         "legend: { id: 'L1', x_percent: 12.5, y_percent: 40 }, legend: { id: 'L1' }"},
        {"legend: { id: '} L1' }", "legend: { id: '} L1' }"},
        {"legend: 'L1'", "legend: 'L1'"},
        {"legend: { id: 'L1'", "legend: { id: 'L1'"},
    };
    for (const auto& c : cases) {
        std::wstring text = KVD::ToKVDString(c.markup).c_str();
        task->ModifyRegionPos(L"legend", text);
        task->ModifyRegionPos(L"text_region", text);
        const std::string edited = KVD::ToU8String(String(text));
        EXPECT_EQ(edited, c.edited) << c.markup;
        Lumo::Markup::AST ast;
        // Markup that parsed still does.
        if (Lumo::Parse(c.markup, ast)) {
            EXPECT_TRUE(Lumo::Parse(edited, ast)) << edited;
        }
    }
}

// The whole road: the page reports, the host stores under the plot's key and delivers back,
// a plot made later replays it and its markup carries the state.
class PersistRoundTrip : public LumoPage {
protected:
    void SetUp() override
    {
        LumoPage::SetUp();
        host = Host::HostDocument::Create(L"Recording");
        task = NewTask();
    }
    void TearDown() override
    {
        task->Release();
        host->Close();
        host->Release();
        LumoPage::TearDown();
    }
    LumoPersistTask* NewTask()
    {
        KVD::COMPtr<IMessageHandler> handler(KVD::com_cast(static_cast<IDocument*>(host)));
        auto* made = new LumoPersistTask(String(L"local"), host->GetRegistrar(), proxy->GetSubject(), handler);
        made->AddRef();
        return made;
    }
    uint32_t Stored() const
    {
        uint32_t count = 0;
        host->GetRegistrar()->GetObjectCount(&count);
        return count;
    }
    uint32_t FlagsOf(const SRKey& key) const
    {
        KVD::COMPtr<IUnknown> stored;
        host->GetRegistrar()->GetObject(key.GetKey(), stored.Set());
        KVD::COMPtr<IMessage> message(KVD::com_cast(stored.get()));
        uint32_t flags = 0;
        if (message != nullptr)
            message->GetFlags(&flags);
        return flags;
    }

    Host::HostDocument* host = nullptr;
    LumoPersistTask* task = nullptr;
};

TEST_F(PersistRoundTrip, EventsAreStoredDeliveredBackAndReplayed)
{
    Call("XScalingChanged", {Web::Value::String("local"), Web::Value::Numbers({1, 3, 0})});
    Call("XScalingChanged", {Web::Value::String("local"), Web::Value::Numbers({-2, 8, 1})});
    Call("YScalingChanged", {Web::Value::String("local"), Web::Value::Numbers({0.5})});
    Call("RegionPosChanged", {Web::Value::String("L1"), Web::Value::Number(12.5), Web::Value::Number(40)});
    Call("RegionTextChanged", {Web::Value::String("L1"), Web::Value::String("Breaths")});
    // One message per key: the second range replaced the first.
    EXPECT_EQ(Stored(), 3u);
    EXPECT_EQ(FlagsOf(SRKey(KVD::SetRangeXExMsg::GetId(), String(L"local"), &LumoLibMessageGUID)), 0x100020u);
    EXPECT_EQ(FlagsOf(SRKey(KVD::SetRegionPosMsg::GetId(), String(L"localL1"), &LumoLibMessageGUID)), 32u);
    // The task heard its own messages come back.
    ChannelYDataRange x, y;
    task->GetScaleRanges(x, y);
    EXPECT_EQ(x, (ChannelYDataRange{8, -2}));
    EXPECT_EQ(y, ChannelYDataRange{});
    EXPECT_EQ(task->RegionTexts().at(String(L"L1")), String(L"Breaths"));

    // The scale proxies' way: ranges sent to be stored come back too.
    task->SetScaleRanges(ChannelYDataRange{}, ChannelYDataRange{6, 1}, true, true);
    EXPECT_EQ(Stored(), 4u);

    task->Release();
    task = NewTask();  // the document opened again
    EXPECT_EQ(Modified(*task, "legend: { id: 'L1', visible: true }"),
              "legend: { id: 'L1', visible: true, x_percent: 12.5, y_percent: 40 }, yscalemin: 1,yscalemax: 6, "
              "do_initial_autoscale_y: false, xscalemin: -2,xscalemax: 8, do_initial_autoscale_x: false, ");
}

TEST_F(PersistRoundTrip, AScalingWithoutARangeStoresNothing)
{
    const double one[] = {4};
    task->OnXScalingChanged(L"local", one, 1, true);
    task->OnYScalingChanged(L"local", nullptr, 2, false);
    EXPECT_EQ(Stored(), 0u);
}

}  // namespace
}  // namespace PlotTest
