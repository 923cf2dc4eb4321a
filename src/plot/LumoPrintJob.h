// A print or copy job of a plot page: what the platform's print step asks of it (device, range,
// copies) and whether it has finished. The platform job derives from it.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/RefCount.h"
#include "foundation/UnknownImp.h"

namespace KVD {

class LumoPrintJob : public KVD::CComObjectRoot {
public:
    LumoPrintJob(std::string plotId, std::string jobName);
    LumoPrintJob(const LumoPrintJob&) = delete;
    LumoPrintJob& operator=(const LumoPrintJob&) = delete;

    uint32_t AddRef() { return mRefCount.Increment(); }
    uint32_t Release() { return mRefCount.Release(this); }

    virtual bool Cancelled() const = 0;
    virtual bool Failed() const { return mFailed; }
    // Received, failed or cancelled.
    virtual bool Finished() const;
    virtual std::string DeviceName() const = 0;
    virtual bool PrintingAll() const = 0;
    virtual bool PrintingRange() const = 0;
    virtual bool PrintingSelection() const = 0;
    virtual int NumCopies() const = 0;

    const std::string& PlotId() const { return mPlotId; }
    const std::string& JobName() const { return mJobName; }

protected:
    std::string mJobName;
    std::string mPlotId;
    bool mReceived = false;
    bool mFailed = false;

private:
    KVD::RefCount mRefCount;
};

}  // namespace KVD
