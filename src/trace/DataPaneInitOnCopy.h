// The first step of copying a data pane: the copy takes over the original's settings before it
// gets the record and the panes (see DataPane::CloneEx).
#pragma once

namespace OrrelDraw {

class DataPane;

class DataPaneInitOnCopy {
public:
    virtual void InitOnCopy(const DataPane& original) = 0;

protected:
    ~DataPaneInitOnCopy() = default;
};

}  // namespace OrrelDraw
