// Bit sets: ranges across words, growth, the fill word, copies and foreign representations.
#include <gtest/gtest.h>

#include <vector>

#include "ComTestObjects.h"
#include "ResultCodes.h"
#include "foundation/Bitset.h"

using KVD::Bitset;
using KVD::BitsetRep;

namespace {

struct Words {
    std::vector<uint32_t> words;
    uint32_t fill;
};

Words WordsOf(const Bitset& set)
{
    IKVDBitset* rep = set.GetInterface();
    int32_t size = 0;
    rep->GetSizeWords(&size);
    Words result{std::vector<uint32_t>(size), 0};
    int32_t fill = 0;
    EXPECT_EQ(rep->CopyWords(size, result.words.data(), &fill), KVD_S_OK);
    result.fill = uint32_t(fill);
    return result;
}

TEST(Bitset, RangesWithinOneWordAndAcrossWordsAndEmptyOnes)
{
    Bitset set;
    set.set_range(5, 5);
    set.set_range(9, 3);
    EXPECT_EQ(WordsOf(set).words, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(set.FirstSet(), Bitset::kNone);
    EXPECT_EQ(set.LastSetPlus1(), 0u);

    set.set_range(3, 9);
    EXPECT_EQ(WordsOf(set).words, (std::vector<uint32_t>{0x000001F8, 0}));
    set.set_range(0, 64);
    EXPECT_EQ(WordsOf(set).words, (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF}));

    Bitset wide;
    wide.set_range(30, 70);
    EXPECT_EQ(WordsOf(wide).words, (std::vector<uint32_t>{0xC0000000, 0xFFFFFFFF, 0x0000003F}));
    EXPECT_EQ(wide.FirstSet(), 30u);
    EXPECT_EQ(wide.LastSetPlus1(), 70u);
    EXPECT_TRUE(wide.test(69));
    EXPECT_FALSE(wide.test(70));
    EXPECT_FALSE(wide.test(29));
    EXPECT_FALSE(wide.test(5000));

    Bitset far;
    far.set_range(100, 101);
    EXPECT_EQ(WordsOf(far).words, (std::vector<uint32_t>{0, 0, 0, 0x10}));
    EXPECT_EQ(far.FirstSet(), 100u);
    EXPECT_EQ(far.LastSetPlus1(), 101u);
    far.clear();
    EXPECT_EQ(far.FirstSet(), Bitset::kNone);
}

TEST(Bitset, ACopyHasARepresentationOfItsOwn)
{
    Bitset original;
    original.set_range(0, 1);
    Bitset copy(original);
    EXPECT_NE(copy.GetInterface(), original.GetInterface());
    copy.set_range(40, 41);
    EXPECT_EQ(original.LastSetPlus1(), 1u);
    EXPECT_EQ(copy.LastSetPlus1(), 41u);
    original = copy;
    EXPECT_EQ(original.LastSetPlus1(), 41u);
    EXPECT_NE(copy.GetInterface(), original.GetInterface());
    EXPECT_EQ(ComTest::RefsOf(original.GetInterface()), 1u);
}

TEST(BitsetRep, ShortBuffersDeletesAndWiderClones)
{
    Bitset set;
    set.set_range(0, 40);
    uint32_t words[2] = {0, 0xAAAAAAAA};
    int32_t fill = -1;
    EXPECT_EQ(set.GetInterface()->CopyWords(1, words, &fill), KVD_S_FALSE);
    EXPECT_EQ(words[0], 0xFFFFFFFFu);
    EXPECT_EQ(words[1], 0xAAAAAAAAu);
    EXPECT_EQ(fill, 0);

    // Delete is refused while references remain.
    BitsetRep* fresh = BitsetRep::Create(3, 0);
    IKVDBitset* clone = nullptr;
    ASSERT_EQ(fresh->Clone(&clone), KVD_S_OK);
    EXPECT_EQ(fresh->Delete(), KVD_S_OK);  // no references: gone
    EXPECT_EQ(clone->Delete(), KVD_E_BADSTATE);
    EXPECT_EQ(clone->Release(), 0u);

    // DoClone widens with the fill word.
    BitsetRep* rep = BitsetRep::Create(2, 0xFFFFFFFF);
    rep->Words()[0] = 0x1;
    BitsetRep* wider = rep->DoClone(4);
    EXPECT_EQ(wider->GetWordCount(), 4u);
    EXPECT_EQ(wider->Words()[0], 0x1u);
    EXPECT_EQ(wider->Words()[3], 0xFFFFFFFFu);
    EXPECT_EQ(wider->GetFill(), 0xFFFFFFFFu);
    rep->Delete();
    wider->Delete();
}

// A bit set implemented elsewhere: one stored word and a fill word.
class Foreign : public SimpleUnknownImp1<IKVDBitset, 0l> {
public:
    Foreign(uint32_t word, uint32_t fill) : mWord(word), mFill(fill) {}
    int32_t IsBitsetRep() override { return 0; }
    HRESULT Delete() override { return KVD_E_BADSTATE; }
    HRESULT GetSizeWords(int32_t* words) override { return *words = 1, KVD_S_OK; }
    HRESULT CopyWords(int32_t n, uint32_t* words, int32_t* fill) override
    {
        *fill = int32_t(mFill);
        if (n >= 1)
            words[0] = mWord;
        return KVD_S_OK;
    }
    HRESULT Clone(IKVDBitset**) override { return KVD_E_NOTIMPL; }

private:
    uint32_t mWord;
    uint32_t mFill;
};

TEST(BitsetSetter, AForeignSetIsReadThroughItsWordsAndReleased)
{
    int released = 0;
    struct Counted : Foreign {
        Counted(int* released) : Foreign(0, 0xFFFFFFFF), mReleased(released) {}
        ~Counted() override { ++*mReleased; }
        int* mReleased;
    };
    Bitset set;
    ComTest::HandOut<IKVDBitset, IKVDBitset>(new Counted(&released), Bitset::Setter(set));
    EXPECT_EQ(released, 1);
    EXPECT_EQ(WordsOf(set).words, (std::vector<uint32_t>{0, 0xFFFFFFFF}));
    EXPECT_EQ(set.LastSetPlus1(), Bitset::kNone);
    EXPECT_EQ(set.FirstSet(), 32u);
    EXPECT_TRUE(set.test(1000));
}

TEST(BitsetSetter, ANativeSetIsCopiedAndNothingGivesAnEmptySet)
{
    Bitset source;
    source.set_range(70, 72);
    Bitset target;
    ComTest::HandOut<IKVDBitset, IKVDBitset>(source.GetInterface(), Bitset::Setter(target));
    EXPECT_EQ(ComTest::RefsOf(source.GetInterface()), 1u);
    EXPECT_NE(target.GetInterface(), source.GetInterface());
    EXPECT_EQ(WordsOf(target).words, WordsOf(source).words);

    { Bitset::Setter nothing(target); }
    EXPECT_EQ(WordsOf(target).words, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(WordsOf(target).fill, 0u);
}

}  // namespace
