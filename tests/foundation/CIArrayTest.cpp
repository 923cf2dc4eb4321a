// The owning object array deletes what it removes, and only when it owns it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/CIArray.h"

namespace {

// Writes its name to a shared log when destroyed.
class Entry {
public:
    Entry(std::vector<std::string>* log, std::string name) : mLog(log), mName(std::move(name)) {}
    virtual ~Entry() { mLog->push_back(mName); }
    const std::string& Name() const { return mName; }

private:
    std::vector<std::string>* mLog;
    std::string mName;
};

class Special : public Entry {
public:
    using Entry::Entry;
    ~Special() override { ++specialGone; }
    static inline int specialGone = 0;
};

class Entries : public ::testing::Test {
protected:
    void Fill(CIArray<Entry>& array, int n)
    {
        for (int i = 0; i < n; ++i)
            array.Add(New(std::to_string(i)));
    }
    Entry* New(const std::string& name) { return new Entry(&mGone, name); }
    std::vector<std::string> Names(const CIArray<Entry>& array)
    {
        std::vector<std::string> names;
        for (unsigned i = 0; i < array.GetCount(); ++i)
            names.push_back(array[i] != nullptr ? array[i]->Name() : "-");
        return names;
    }

    std::vector<std::string> mGone;
};

TEST_F(Entries, AnOwningArrayDeletesFromTheLastDownThroughTheVirtualDestructor)
{
    {
        CIArray<Entry> array;
        Fill(array, 3);
        array.Add(nullptr);
        array.Add(new Special(&mGone, "special"));
        EXPECT_EQ(array.GetGrowBy(), 8u);
    }
    EXPECT_EQ(mGone, (std::vector<std::string>{"special", "2", "1", "0"}));
    EXPECT_EQ(Special::specialGone, 1);
}

TEST_F(Entries, DetachWithDeleteDeletesOnlyWhatAnOwningArrayRemoves)
{
    CIArray<Entry> array;
    Fill(array, 5);
    EXPECT_TRUE(array.Detach(2, 100, true));
    EXPECT_EQ(mGone, (std::vector<std::string>{"4", "3", "2"}));
    EXPECT_EQ(Names(array), (std::vector<std::string>{"0", "1"}));

    std::vector<Entry*> kept;
    for (int i = 0; i < 5; ++i)
        kept.push_back(New("k" + std::to_string(i)));
    mGone.clear();
    {
        CIArray<Entry> borrowing(false);
        for (Entry* entry : kept)
            borrowing.Add(entry);
        EXPECT_TRUE(borrowing.Detach(2, 100, true));
        EXPECT_EQ(borrowing.GetCount(), 2u);
    }
    EXPECT_TRUE(mGone.empty());
    for (Entry* entry : kept)
        delete entry;
}

TEST_F(Entries, RemoveRangeTakesACountAndDeletesWhatItRemoves)
{
    CIArray<Entry> array;
    Fill(array, 6);
    array.RemoveRange(1, 2);
    EXPECT_EQ(mGone, (std::vector<std::string>{"2", "1"}));
    EXPECT_EQ(Names(array), (std::vector<std::string>{"0", "3", "4", "5"}));
    array.RemoveRange(2, 0xFFFFFFFF);
    EXPECT_EQ(Names(array), (std::vector<std::string>{"0", "3"}));
}

TEST_F(Entries, StoreAtGrowsTheArrayAndDeletesTheItemItReplaces)
{
    CIArray<Entry> array;
    Entry* first = New("first");
    array.StoreAt(3, first);
    EXPECT_EQ(Names(array), (std::vector<std::string>{"-", "-", "-", "first"}));
    array.StoreAt(3, first);
    EXPECT_TRUE(mGone.empty());
    array.StoreAt(3, New("second"));
    EXPECT_EQ(mGone, (std::vector<std::string>{"first"}));
    EXPECT_EQ(array.Find(array[3]), 3u);
    EXPECT_EQ(array.Find(first), 0xFFFFFFFFu);
}

}  // namespace
