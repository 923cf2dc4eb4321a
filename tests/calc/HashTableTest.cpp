// The chained hash table of the formula symbol table.
#include <gtest/gtest.h>

#include <string>

#include "calc/HashTable.h"

namespace CalcTest {
namespace {

using Table = HashTable<KVD::String, HashKeyFunctions<KVD::String>, int, true, KVD::String>;

TEST(HashTable, TheFirstValueStoredUnderAKeyStays)
{
    Table table(3, 2);
    EXPECT_TRUE(table.InsertIfAbsent(KVD::String(L"sin"), 1));
    EXPECT_FALSE(table.InsertIfAbsent(KVD::String(L"sin"), 2));
    EXPECT_TRUE(table.InsertIfAbsent(KVD::String(L"Sin"), 3));  // keys compare exactly
    EXPECT_EQ(table.GetCount(), 2u);
    ASSERT_NE(table.FindAssoc(KVD::String(L"sin")), nullptr);
    EXPECT_EQ(table.FindAssoc(KVD::String(L"sin"))->value, 1);
    EXPECT_EQ(table.FindAssoc(KVD::String(L"Sin"))->value, 3);
    EXPECT_EQ(table.FindAssoc(KVD::String(L"cos")), nullptr);
}

// Few buckets and small pool chunks: chains and pool growth.
TEST(HashTable, ChainsGrowAndFlushEmptiesTheTable)
{
    Table table(3, 2);
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 50; ++i)
            ASSERT_TRUE(table.InsertIfAbsent(KVD::String(L"key" + std::to_wstring(i)), i));
        EXPECT_EQ(table.GetCount(), 50u);
        int sum = 0;
        table.ForEach([&](const KVD::String&, int value) { sum += value; });
        EXPECT_EQ(sum, 49 * 50 / 2);
        for (int i = 0; i < 50; ++i)
            EXPECT_EQ(table.FindAssoc(KVD::String(L"key" + std::to_wstring(i)))->value, i);
        table.Flush();
        EXPECT_EQ(table.GetCount(), 0u);
        EXPECT_EQ(table.FindAssoc(KVD::String(L"key7")), nullptr);
    }
}

}  // namespace
}  // namespace CalcTest
