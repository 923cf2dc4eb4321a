// How interface enumerators treat their items: each item handed out carries one reference.
#pragma once

#include <type_traits>

#include "IUnknown.h"

namespace KVD {

struct EnumXXXTraits {
    template <class I>
    static void AddRef(I* item)
    {
        if (item != nullptr)
            item->AddRef();
    }
    template <class I>
    static void Release(I* item)
    {
        if (item != nullptr)
            item->Release();
    }
};

namespace detail {

// The item type of an enumerator, from its Next(count, I** out, delivered).
template <class C, class I>
I* EnumItemOf(HRESULT (C::*)(uint32_t, I**, uint32_t*));

template <class IEnum>
using EnumItem = std::remove_pointer_t<decltype(EnumItemOf(&IEnum::Next))>;

}  // namespace detail

}  // namespace KVD
