// The interactive-object container: key order, the veto of an action, the cursor walk and the
// objects' part of the pane's record.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"
#include "foundation/XKVD.h"
#include "InteractiveRecorder.h"
#include "trace/InteractiveObjectContainer.h"

using namespace OrrelDraw;
using TraceTest::LoggingObject;

namespace {

class InteractiveObjects : public ::testing::Test {
protected:
    LoggingObject* Add(const std::string& name, int key)
    {
        auto* object = new LoggingObject(name, log);
        container.AddInteractiveObject(object, key);
        return object;
    }

    std::vector<std::string> log;
    InteractiveObjectContainer container;
};

std::string Words(std::initializer_list<unsigned> words)
{
    std::stringbuf buffer;
    {
        KVD::BinOStream out(&buffer, 1);
        for (unsigned w : words)
            out.WriteWord32(w);
    }
    return buffer.str();
}

TEST_F(InteractiveObjects, AnEmptyContainerPermitsEverythingAndSetsNoCursor)
{
    EXPECT_TRUE(container.IsActionPermitted(kActionLeftButtonDown));
    EXPECT_FALSE(container.OnSetCursor(nullptr, 1, 0));
    std::stringbuf stored(Words({2, 77}));
    KVD::BinIStream in(&stored);
    container.OnRead(&in);
    unsigned next = 0;
    in.ReadWord32(&next);
    EXPECT_EQ(next, 77u);  // only the version word was taken
}

TEST_F(InteractiveObjects, WalksKeysInOrderAndEqualKeysInOrderOfAdding)
{
    Add("b", 5);
    Add("a", 1);
    Add("c", 5);
    container.CallOnObjects([](IKVDInteractiveCpp& o) { o.OnTimer(7); });
    EXPECT_EQ(log, (std::vector<std::string>{"a:timer7", "b:timer7", "c:timer7"}));
    EXPECT_EQ(container.ObjectCount(), 3u);
    EXPECT_EQ(container.MenuCount(), 0u);
}

TEST_F(InteractiveObjects, OnlyTheRefusingObjectGetsAVetoedAction)
{
    Add("first", 1);
    Add("second", 2)->refuses = kActionLeftButtonDown;
    IKVDInteractiveCpp* blocker = nullptr;
    EXPECT_FALSE(container.IsActionPermitted(kActionLeftButtonDown, &blocker));
    EXPECT_NE(blocker, nullptr);
    container.ExecuteActionIfPermitted(kActionLeftButtonDown,
                                       [](IKVDInteractiveCpp& o) { o.OnLButtonDown(0, TPoint(1, 1)); });
    EXPECT_EQ(log, (std::vector<std::string>{"second:down"}));
    log.clear();
    container.ExecuteActionIfPermitted(kActionMouseMove, [](IKVDInteractiveCpp& o) { o.OnLButtonDown(0, TPoint()); });
    EXPECT_EQ(log, (std::vector<std::string>{"first:down", "second:down"}));
}

TEST_F(InteractiveObjects, TheCursorWalkStopsAtTheFirstSetterUnlessItPassesOn)
{
    struct Case {
        bool firstSets, firstPasses;
        std::vector<std::string> calls;
    } cases[] = {
        {true, false, {"a:cursor"}},
        {true, true, {"a:cursor", "b:cursor"}},
        {false, false, {"a:cursor", "b:cursor"}},
    };
    for (const Case& c : cases) {
        InteractiveObjectContainer objects;
        std::vector<std::string> calls;
        auto* a = new LoggingObject("a", calls);
        a->setsCursor = c.firstSets;
        a->passesCursor = c.firstPasses;
        objects.AddInteractiveObject(a, 0);
        objects.AddInteractiveObject(new LoggingObject("b", calls), 1);
        EXPECT_EQ(objects.OnSetCursor(nullptr, 1, 0), c.firstSets);
        EXPECT_EQ(calls, c.calls);
    }
}

TEST_F(InteractiveObjects, ANewerObjectVersionThrowsBeforeAnyObjectReads)
{
    Add("a", 0);
    for (unsigned version : {0u, 1u, 2u, 3u, 9u}) {
        log.clear();
        std::stringbuf stored(Words({version}));
        KVD::BinIStream in(&stored);
        if (version < 3) {
            container.OnRead(&in);
            EXPECT_EQ(log, (std::vector<std::string>{"a:read"}));
        } else {
            try {
                container.OnRead(&in);
                ADD_FAILURE() << "version " << version << " was read";
            } catch (const XKVD& e) {
                EXPECT_EQ(uint32_t(e.GetCode()), 0xF8008005u);
            }
            EXPECT_TRUE(log.empty());
        }
    }
}

}  // namespace
