// The value array constructs, moves and destroys its elements and grows as its owner chose.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/ArrayCtor.h"

namespace {

// A value that counts the live instances and logs destructions.
struct Tracked {
    static inline int live = 0;
    static inline std::vector<int> destroyed;

    Tracked() : value(-1) { ++live; }
    explicit Tracked(int v) : value(v) { ++live; }
    Tracked(const Tracked& other) : value(other.value) { ++live; }
    Tracked(Tracked&& other) noexcept : value(other.value) { ++live; }
    Tracked& operator=(const Tracked&) = default;
    Tracked& operator=(Tracked&&) = default;
    ~Tracked()
    {
        --live;
        destroyed.push_back(value);
    }
    int value;
};

class ValueArray : public ::testing::Test {
protected:
    void SetUp() override
    {
        Tracked::live = 0;
        Tracked::destroyed.clear();
    }
    void TearDown() override { EXPECT_EQ(Tracked::live, 0); }

    static std::vector<int> Values(const CArrayCtor<Tracked>& array)
    {
        std::vector<int> values;
        for (const Tracked& t : array)
            values.push_back(t.value);
        return values;
    }
};

TEST_F(ValueArray, AddGrowsToTheMinimumThenDoublesEvenAddingItsOwnElement)
{
    CArrayCtor<int, false, true> array;
    EXPECT_EQ(array.GetCapacity(), 0u);
    array.Add(1);
    EXPECT_EQ(array.GetCapacity(), 8u);
    for (int i = 2; i <= 9; ++i)
        array.Add(i);
    EXPECT_EQ(array.GetCapacity(), 16u);
    EXPECT_EQ(array.GetCount(), 9u);
    EXPECT_EQ(array[8], 9);

    // Adding an element of the array itself survives the growth it causes.
    CArrayCtor<std::string> texts(1);
    texts.Add(std::string(40, 'x'));
    texts.Add(texts[0]);
    texts.Add(texts[1]);
    EXPECT_EQ(texts.GetCount(), 3u);
    EXPECT_EQ(texts[2], std::string(40, 'x'));
}

TEST_F(ValueArray, InitValueInitialisesAndGrowsPastTheNextStep)
{
    CArrayCtor<int, false, true> array;
    array.Init(5);
    EXPECT_EQ(array.GetCapacity(), 8u);
    array.Init(20);
    EXPECT_EQ(array.GetCapacity(), 24u);
    array.Init(3);
    EXPECT_EQ(array.GetCount(), 20u);
    for (int v : array)
        EXPECT_EQ(v, 0);
    array.Init(40);
    EXPECT_EQ(array.GetCapacity(), 48u);
}

TEST_F(ValueArray, EraseMovesTheRestDownAndDestructionGoesFromTheLast)
{
    CArrayCtor<Tracked> array;
    for (int i = 0; i < 6; ++i)
        array.Add(Tracked(i));
    Tracked::destroyed.clear();
    array.Erase(1, 3);
    EXPECT_EQ(Values(array), (std::vector<int>{0, 3, 4, 5}));
    EXPECT_EQ(Tracked::live, 4);
    array.Erase(2, 100);
    EXPECT_EQ(Values(array), (std::vector<int>{0, 3}));
    array.Erase(1, 1);
    EXPECT_EQ(array.GetCount(), 2u);
    {
        CArrayCtor<Tracked> three;
        for (int i = 0; i < 3; ++i)
            three.Add(Tracked(i));
        Tracked::destroyed.clear();
    }
    EXPECT_EQ(Tracked::destroyed, (std::vector<int>{2, 1, 0}));  // from the last down
}

TEST_F(ValueArray, ResizeKeepsTheElementsAndBelowTheCountDestroysTheRest)
{
    CArrayCtor<Tracked> array;
    for (int i = 0; i < 5; ++i)
        array.Add(Tracked(i));
    array.Resize(32);
    EXPECT_EQ(Values(array), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Tracked::live, 5);
    array.Resize(2);
    EXPECT_EQ(array.GetCapacity(), 2u);
    EXPECT_EQ(Values(array), (std::vector<int>{0, 1}));
    EXPECT_EQ(Tracked::live, 2);
}

TEST_F(ValueArray, ACopyIsIndependentAndClearEmpties)
{
    CArrayCtor<Tracked> array;
    array.Add(Tracked(7));
    CArrayCtor<Tracked> copy(array);
    copy[0].value = 8;
    EXPECT_EQ(array[0].value, 7);
    array = copy;
    EXPECT_EQ(array[0].value, 8);
    array.Clear();
    EXPECT_TRUE(array.IsEmpty());
    EXPECT_EQ(Tracked::live, 1);
}

}  // namespace
