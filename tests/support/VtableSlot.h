// Where an interface's operations sit in its vtable, for the tests that pin the slots the host
// calls by number. Under the Itanium C++ ABI a pointer to a virtual member holds 1 + the byte
// offset of its vtable entry; AddRef is slot 0.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace TestSupport {

template <class F>
long Slot(F member)
{
    static_assert(sizeof(F) == 2 * sizeof(void*), "Itanium member pointer");
    uintptr_t raw = 0;
    std::memcpy(&raw, &member, sizeof(raw));
    return static_cast<long>((raw - 1) / sizeof(void*));
}

struct SlotRow {
    const char* member;
    long slot;
    long expected;
};

inline void ExpectSlots(std::initializer_list<SlotRow> rows)
{
    for (const SlotRow& row : rows)
        EXPECT_EQ(row.slot, row.expected) << row.member;
}

}  // namespace TestSupport

#define TEST_SLOT(member, n) ::TestSupport::SlotRow{#member, ::TestSupport::Slot(&member), n}
