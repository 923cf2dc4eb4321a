// A chained hash table whose nodes come from a fixed-size block pool: the formula symbol
// table. Lookups do not write to the table, so a table that is no longer changed may be read
// from several threads.
#pragma once

#include <new>

#include "foundation/ElfHash.h"
#include "foundation/FixedSizeBlockPool.h"
#include "foundation/KVDString.h"

template <class Key>
struct HashKeyFunctions;

// Keys are hashed over their 32-bit characters and compared exactly (case matters).
template <>
struct HashKeyFunctions<KVD::String> {
    static unsigned Hash(const KVD::String& key) { return gElfHashStr(key.c_str(), 0); }
    static bool Equal(const KVD::String& a, const KVD::String& b) { return a == b; }
};

template <class Key, class Functions, class Value, bool OwnsValues, class KeyArg>
class HashTable {
public:
    struct Assoc {
        Assoc* next;
        Key key;
        Value value;
    };

    HashTable(unsigned buckets, unsigned blocksPerChunk)
        : mPool(sizeof(Assoc), blocksPerChunk), mBuckets(new Assoc*[buckets]()), mBucketCount(buckets)
    {
    }
    ~HashTable()
    {
        Flush();
        delete[] mBuckets;
    }
    HashTable(const HashTable&) = delete;
    HashTable& operator=(const HashTable&) = delete;

    unsigned GetCount() const { return mCount; }

    const Assoc* FindAssoc(const KeyArg& key) const { return Find(key, BucketOf(key)); }

    // Stores value under key when the key is absent: the first value stored under a key stays.
    bool InsertIfAbsent(const KeyArg& key, const Value& value)
    {
        const unsigned bucket = BucketOf(key);
        if (Find(key, bucket) != nullptr)
            return false;
        Assoc* assoc = NewAssoc(key);
        assoc->value = value;
        assoc->next = mBuckets[bucket];
        mBuckets[bucket] = assoc;
        ++mCount;
        return true;
    }

    // Calls visit(key, value) for every entry.
    template <class Visit>
    void ForEach(Visit visit) const
    {
        for (unsigned b = 0; b < mBucketCount; ++b)
            for (const Assoc* assoc = mBuckets[b]; assoc != nullptr; assoc = assoc->next)
                visit(assoc->key, assoc->value);
    }

    // Destroys every entry and hands all nodes back to the heap.
    void Flush()
    {
        for (unsigned b = 0; b < mBucketCount; ++b) {
            for (Assoc* assoc = mBuckets[b]; assoc != nullptr;) {
                Assoc* next = assoc->next;
                assoc->~Assoc();
                assoc = next;
            }
            mBuckets[b] = nullptr;
        }
        mPool.Flush();
        mCount = 0;
    }

private:
    // The node for key, taken from the pool and constructed with the key and a default value;
    // the caller links it into its bucket.
    Assoc* NewAssoc(const KeyArg& key)
    {
        void* block = mPool.Allocate();
        return new (block) Assoc{nullptr, Key(key), Value()};
    }

    unsigned BucketOf(const KeyArg& key) const { return Functions::Hash(key) % mBucketCount; }

    Assoc* Find(const KeyArg& key, unsigned bucket) const
    {
        for (Assoc* assoc = mBuckets[bucket]; assoc != nullptr; assoc = assoc->next)
            if (Functions::Equal(assoc->key, key))
                return assoc;
        return nullptr;
    }

    FixedSizeBlockPool mPool;
    Assoc** mBuckets;
    unsigned mBucketCount;
    unsigned mCount = 0;
};
