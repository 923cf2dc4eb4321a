// Holds an object that was created with one reference for its creator, taking that reference
// over instead of adding one.
#pragma once

#include "foundation/COMPtr.h"

namespace Host {

template <class T>
KVD::COMPtr<T> Adopt(T* created)
{
    return KVD::COMPtr<T>::Take(created);
}

}  // namespace Host
