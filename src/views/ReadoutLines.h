// The readout lines under the data view's plots, as the overlays feed them: the value under
// the mouse and its time, either of which may be missing, and then the line is cleared. The
// overlays reach them through their view's window controller, when it has them.
#pragma once

class ReadoutLines {
public:
    virtual void UpdateFlow(const double* value, const double* seconds) = 0;
    virtual void UpdateVolume(const double* value, const double* seconds) = 0;

protected:
    ~ReadoutLines() = default;
};
