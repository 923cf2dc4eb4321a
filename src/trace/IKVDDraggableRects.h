// The rectangles of a view that a drag may start in, in the view's coordinates.
#pragma once

#include "ResultCodes.h"
#include "foundation/draw/TRect.h"

namespace OrrelDraw {

class IKVDDraggableRects {
public:
    virtual int GetDraggableRectCount() const = 0;
    // KVD_E_NULLOUT for an index beyond the count or a null out-pointer.
    virtual HRESULT GetDraggableRect(int index, TRect* rect) const = 0;

protected:
    ~IKVDDraggableRects() = default;
};

}  // namespace OrrelDraw
