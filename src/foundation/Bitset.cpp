#include "foundation/Bitset.h"

#include <algorithm>
#include <new>

namespace KVD {

namespace {

constexpr unsigned kBitsPerWord = 32;

// Bits lowBit to highBit (inclusive) of a word.
uint32_t BitsFromTo(unsigned lowBit, unsigned highBit)
{
    const uint32_t fromLow = ~uint32_t(0) << lowBit;
    const uint32_t toHigh = ~uint32_t(0) >> (kBitsPerWord - 1 - highBit);
    return fromLow & toHigh;
}

unsigned LowestBit(uint32_t word) { return unsigned(__builtin_ctz(word)); }
unsigned HighestBit(uint32_t word) { return kBitsPerWord - 1 - unsigned(__builtin_clz(word)); }

}  // namespace

BitsetRep::BitsetRep(unsigned words, uint32_t fill) : mWordCount(words), mFill(fill)
{
    std::fill(Words(), Words() + words, fill);
}

void* BitsetRep::Allocate(unsigned words)
{
    return ::operator new(sizeof(BitsetRep) + std::size_t(words) * sizeof(uint32_t));
}

BitsetRep* BitsetRep::Create(unsigned words, uint32_t fill)
{
    words = std::max(words, kMinWords);
    return new (Allocate(words)) BitsetRep(words, fill);
}

BitsetRep* BitsetRep::DoClone(unsigned minWords) const
{
    BitsetRep* clone = Create(std::max(mWordCount, minWords), mFill);
    std::copy(Words(), Words() + mWordCount, clone->Words());
    return clone;
}

HRESULT BitsetRep::Delete()
{
    if (mRefCount.Get() != 0)
        return KVD_E_BADSTATE;
    delete this;
    return KVD_S_OK;
}

HRESULT BitsetRep::GetSizeWords(int32_t* words)
{
    if (words == nullptr)
        return KVD_E_POINTER;
    *words = int32_t(mWordCount);
    return KVD_S_OK;
}

HRESULT BitsetRep::CopyWords(int32_t n, uint32_t* words, int32_t* fill)
{
    if (fill != nullptr)
        *fill = int32_t(mFill);
    const unsigned wanted = n > 0 ? unsigned(n) : 0;
    if (words != nullptr)
        std::copy(Words(), Words() + std::min(wanted, mWordCount), words);
    return wanted < mWordCount ? KVD_S_FALSE : KVD_S_OK;
}

HRESULT BitsetRep::Clone(IKVDBitset** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    GiveOut(DoClone(0), out);
    return KVD_S_OK;
}

Bitset::Bitset() : mRep(BitsetRep::Create(BitsetRep::kMinWords, 0)) {}

Bitset::Bitset(const Bitset& other) : mRep(other.mRep->DoClone(0)) {}

Bitset& Bitset::operator=(const Bitset& other)
{
    if (this != &other)
        Adopt(other.mRep->DoClone(0));
    return *this;
}

Bitset::~Bitset() = default;

void Bitset::Adopt(BitsetRep* rep) { mRep = rep; }

void Bitset::set_range(unsigned first, unsigned last)
{
    if (first >= last)
        return;
    const unsigned lo = first / kBitsPerWord;
    const unsigned hi = (last - 1) / kBitsPerWord;
    if (hi >= mRep->GetWordCount())
        Adopt(mRep->DoClone(hi + 1));
    uint32_t* words = mRep->Words();
    const unsigned lowBit = first % kBitsPerWord;
    const unsigned highBit = (last - 1) % kBitsPerWord;
    if (lo == hi) {
        words[lo] |= BitsFromTo(lowBit, highBit);
        return;
    }
    words[lo] |= BitsFromTo(lowBit, kBitsPerWord - 1);
    std::fill(words + lo + 1, words + hi, ~uint32_t(0));
    words[hi] |= BitsFromTo(0, highBit);
}

bool Bitset::test(unsigned i) const
{
    const unsigned word = i / kBitsPerWord;
    const uint32_t bits = word < mRep->GetWordCount() ? mRep->Words()[word] : mRep->GetFill();
    return (bits >> (i % kBitsPerWord)) & 1u;
}

void Bitset::clear()
{
    std::fill(mRep->Words(), mRep->Words() + mRep->GetWordCount(), 0u);
    mRep->SetFill(0);
}

unsigned Bitset::FirstSet() const
{
    const uint32_t* words = mRep->Words();
    for (unsigned i = 0; i < mRep->GetWordCount(); ++i) {
        if (words[i] != 0)
            return i * kBitsPerWord + LowestBit(words[i]);
    }
    const uint32_t fill = mRep->GetFill();
    return fill != 0 ? mRep->GetWordCount() * kBitsPerWord + LowestBit(fill) : kNone;
}

unsigned Bitset::LastSetPlus1() const
{
    if (mRep->GetFill() != 0)
        return kNone;
    const uint32_t* words = mRep->Words();
    for (unsigned i = mRep->GetWordCount(); i > 0; --i) {
        if (words[i - 1] != 0)
            return (i - 1) * kBitsPerWord + HighestBit(words[i - 1]) + 1;
    }
    return 0;
}

// The foundation's own representation is copied directly; any other is read through its words.
BitsetRep* Bitset::Setter::CopyOf(IKVDBitset* value) const
{
    if (value->IsBitsetRep() == 1)
        return static_cast<BitsetRep*>(value)->DoClone(0);
    int32_t size = 0;
    value->GetSizeWords(&size);
    const unsigned words = size > 0 ? unsigned(size) : 0;
    BitsetRep* rep = BitsetRep::Create(words, 0);
    int32_t fill = 0;
    value->CopyWords(int32_t(words), rep->Words(), &fill);
    // Words the other set did not store (it had fewer than two) read as its fill word.
    std::fill(rep->Words() + words, rep->Words() + rep->GetWordCount(), uint32_t(fill));
    rep->SetFill(uint32_t(fill));
    return rep;
}

Bitset::Setter::~Setter()
{
    const auto value = COMPtr<IKVDBitset>::Take(mValue);
    mTarget.Adopt(value != nullptr ? CopyOf(value) : BitsetRep::Create(BitsetRep::kMinWords, 0));
}

}  // namespace KVD
