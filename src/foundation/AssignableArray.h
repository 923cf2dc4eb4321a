// Array of plain values whose storage block is shared by every array assigned from it. The
// block starts with a header (references, capacity, count, growth step) and the elements
// follow; the array holds a pointer to the first element.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

template <class T>
class AssignableArrayBase {
    static_assert(std::is_trivially_copyable_v<T>, "elements are copied as bytes and not destroyed");

public:
    struct Header {
        std::atomic<uint32_t> references;
        uint32_t capacity;
        uint32_t count;
        uint32_t growBy;
    };

    unsigned GetCount() const { return GetHeader(mElements)->count; }
    unsigned GetCapacity() const { return GetHeader(mElements)->capacity; }
    T& operator[](unsigned i) { return mElements[i]; }
    const T& operator[](unsigned i) const { return mElements[i]; }
    T* begin() { return mElements; }
    T* end() { return mElements + GetCount(); }
    const T* begin() const { return mElements; }
    const T* end() const { return mElements + GetCount(); }

    // Drops this array's reference to its block; the last one frees it.
    void DelRefChk()
    {
        DelRefChk(mElements);
        mElements = nullptr;
    }

    // Drops one reference to the block whose first element is elements.
    static void DelRefChk(T* elements)
    {
        if (elements == nullptr)
            return;
        Header* header = GetHeader(elements);
        if (header->references.fetch_sub(1) == 1) {
            header->count = 0;
            header->~Header();
            ::operator delete(header);
        }
    }

protected:
    static Header* GetHeader(T* elements)
    {
        return reinterpret_cast<Header*>(reinterpret_cast<char*>(elements) - sizeof(Header));
    }
    static const Header* GetHeader(const T* elements)
    {
        return reinterpret_cast<const Header*>(reinterpret_cast<const char*>(elements) - sizeof(Header));
    }

    // A new block with one reference.
    static T* NewBlock(unsigned capacity, unsigned count, unsigned growBy)
    {
        void* block = ::operator new(sizeof(Header) + std::size_t(capacity) * sizeof(T));
        Header* header = new (block) Header{{1}, capacity, count, growBy};
        return reinterpret_cast<T*>(header + 1);
    }

    void Share(T* elements)
    {
        GetHeader(elements)->references.fetch_add(1);
        mElements = elements;
    }

    T* mElements = nullptr;
};

// The boolean argument is kept so that instances read as elsewhere in the system.
template <class T, bool B>
class AssignableArray : public AssignableArrayBase<T> {
public:
    explicit AssignableArray(unsigned capacity = 0, unsigned growBy = 8)
    {
        this->mElements = this->NewBlock(capacity, 0, growBy);
    }
    AssignableArray(const AssignableArray& other) { this->Share(other.mElements); }
    AssignableArray& operator=(const AssignableArray& other)
    {
        T* old = this->mElements;
        this->Share(other.mElements);
        this->DelRefChk(old);
        return *this;
    }
    ~AssignableArray() { this->DelRefChk(); }
};

template <class T, bool B>
class AssignableArrayInit : public AssignableArray<T, false> {
public:
    using AssignableArray<T, false>::AssignableArray;

    // Sets the count to n; new elements are zero. A block too small for n is replaced by a
    // block of this array's own (arrays sharing the old block keep it).
    void DoInit(unsigned n)
    {
        auto* header = this->GetHeader(this->mElements);
        if (n > header->capacity)
            Regrow(n);
        header = this->GetHeader(this->mElements);
        if (n > header->count)
            std::fill(this->mElements + header->count, this->mElements + n, T());
        header->count = n;
    }

private:
    void Regrow(unsigned n)
    {
        const auto* old = this->GetHeader(this->mElements);
        const unsigned step = std::max(old->growBy, 1u);
        T* elements = this->NewBlock((n / step + 1) * step, old->count, old->growBy);
        std::memcpy(elements, this->mElements, old->count * sizeof(T));
        this->DelRefChk(this->mElements);
        this->mElements = elements;
    }
};
