// Maps an interface type to its identifier, so that templates (smart pointers, accessors)
// can ask for "the IID of I". Each interface header declares its own with KVD_INTERFACE_ID.
#pragma once

#include "KVDTypes.h"

template <class I>
struct InterfaceIdOf;  // specialised for every interface

#define KVD_INTERFACE_ID(Interface, Guid)                          \
    template <>                                                    \
    struct InterfaceIdOf<Interface> {                              \
        static constexpr const _IID& Get() { return Guid; }        \
    }

template <class I>
constexpr const _IID& IIDOf() { return InterfaceIdOf<I>::Get(); }
