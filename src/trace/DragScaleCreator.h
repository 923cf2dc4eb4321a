// The graticule drawer's own drag scale: made through the host's drag-scale class object and
// held in a CScale, which the drawer owns alone.
#pragma once

#include <utility>

#include "IScale.h"
#include "foundation/COMPtr.h"

namespace OrrelDraw {

class DragScaleCreator {
public:
    // Asks the host's drag-scale class for a scale of the two ints and style; KVD_E_BADSTATE
    // when the host has none, KVD_E_POINTER for a null out-pointer.
    static HRESULT Create(IScale** out, int offset, int side, DragScaleStyle style);
};

// Holds one reference to a scale.
class CScale {
public:
    explicit CScale(KVD::COMPtr<IScale> scale) : mScale(std::move(scale)) {}
    IScale* get() const { return mScale.get(); }
    IScale* operator->() const { return mScale.get(); }

private:
    KVD::COMPtr<IScale> mScale;
};

}  // namespace OrrelDraw
