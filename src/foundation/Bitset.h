// Bit set over a COM representation. A representation is never shared between bit sets: each
// copy clones it, so bits are set in place.
#pragma once

#include <cstdint>

#include "IKVDBitset.h"
#include "foundation/UnknownImp.h"

namespace KVD {

// One variable-size block: the object, then its words.
class BitsetRep : public SimpleUnknownImp1<IKVDBitset, 0l> {
public:
    static constexpr unsigned kMinWords = 2;

    // A representation of max(words, 2) words, each set to fill, without references.
    static BitsetRep* Create(unsigned words, uint32_t fill);
    // A copy of max(own words, minWords, 2) words, the extra ones set to the fill word,
    // without references.
    BitsetRep* DoClone(unsigned minWords) const;

    int32_t IsBitsetRep() override { return 1; }
    HRESULT Delete() override;
    HRESULT GetSizeWords(int32_t* words) override;
    HRESULT CopyWords(int32_t n, uint32_t* words, int32_t* fill) override;
    HRESULT Clone(IKVDBitset** out) override;

    unsigned GetWordCount() const { return mWordCount; }
    uint32_t GetFill() const { return mFill; }
    void SetFill(uint32_t fill) { mFill = fill; }
    uint32_t* Words() { return reinterpret_cast<uint32_t*>(this + 1); }
    const uint32_t* Words() const { return reinterpret_cast<const uint32_t*>(this + 1); }

    // The block was allocated as raw memory of the object and its words.
    static void operator delete(void* p) { ::operator delete(p); }

private:
    BitsetRep(unsigned words, uint32_t fill);
    static void* Allocate(unsigned words);

    uint32_t mWordCount;
    uint32_t mFill;
};

class Bitset {
public:
    static constexpr unsigned kNone = 0xFFFFFFFF;

    // Empty: two zero words, fill 0.
    Bitset();
    Bitset(const Bitset& other);
    Bitset& operator=(const Bitset& other);
    ~Bitset();

    // Sets the bits [first, last), growing the set to hold last - 1.
    void set_range(unsigned first, unsigned last);
    bool test(unsigned i) const;
    // Clears every bit, the fill word included.
    void clear();

    // Lowest set bit; past the stored words the fill word counts; kNone when nothing is set.
    unsigned FirstSet() const;
    // One past the highest set bit; 0 when none, kNone when the fill word sets bits forever.
    unsigned LastSetPlus1() const;

    // The representation, to hand to a callee that reads it (no reference added).
    IKVDBitset* GetInterface() const { return mRep.get(); }

    // Out-parameter adaptor for a function that hands back a bit set: when destroyed, the bit
    // set takes a copy of what came back (of any implementation), or becomes empty.
    class Setter {
    public:
        explicit Setter(Bitset& target) : mTarget(target) {}
        Setter(const Setter&) = delete;
        Setter& operator=(const Setter&) = delete;
        ~Setter();
        operator IKVDBitset**() { return &mValue; }

    private:
        BitsetRep* CopyOf(IKVDBitset* value) const;

        Bitset& mTarget;
        IKVDBitset* mValue = nullptr;
    };

private:
    // Takes a reference on rep and drops the old representation.
    void Adopt(BitsetRep* rep);

    COMPtr<BitsetRep> mRep;
};

}  // namespace KVD
