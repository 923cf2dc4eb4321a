// Lanes: the horizontal bands of a data pane that carry drag scales. A data pane's lanes are its
// channel panes unless an owner hands it a delegate that lays out lanes of its own.
#pragma once

#include <vector>

#include "IScale.h"

namespace OrrelDraw {

class IKVDOrrelLanes {
public:
    virtual int GetNumLanes() const = 0;
    virtual void SetNumLanes(int count) = 0;
    virtual HRESULT GetLaneHeights(std::vector<int>* heights) const = 0;
    virtual HRESULT SetLaneHeights(const std::vector<int>& heights) = 0;
    // The lane's left (side 1) or right scale, referenced.
    virtual HRESULT GetLaneDragScale(int lane, int side, IScale** scale) = 0;

protected:
    ~IKVDOrrelLanes() = default;
};

}  // namespace OrrelDraw
