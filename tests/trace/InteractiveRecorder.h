// An interactive object that logs the calls it gets by name, for the data pane's tests.
#pragma once

#include <string>
#include <vector>

#include "foundation/UnknownImp.h"
#include "trace/IKVDInteractiveCpp.h"

namespace TraceTest {

using namespace OrrelDraw;

// Logs the calls it gets by name; refuses the actions it is told to; may take the cursor.
class LoggingObject final : public KVD::detail::CountedUnknown<IKVDInteractiveCpp> {
public:
    LoggingObject(std::string name, std::vector<std::string>& log) : mName(std::move(name)), mLog(log) {}

    void SetRecordDataPixMap(IRecordDataPixMap*) override {}
    void OnSetupDone() override {}
    void SetNumberOfChannelPanes(int) override {}
    void SetChannelPanePosition(int, const TRect&) override {}
    void OnSize(const TRect&, bool*) override {}
    int OnDisplayInfoChanged(const IChannelDisplaySettings2*, IUnknown*, int) override { return 0; }
    void OnLButtonDown(unsigned, const TPoint&) override { mLog.push_back(mName + ":down"); }
    void OnLButtonUp(unsigned, const TPoint& p) override { At("up", p); }
    void OnRButtonDown(unsigned f, const TPoint& p) override { At("rdown" + std::to_string(f), p); }
    void OnRButtonUp(unsigned, const TPoint& p) override { At("rup", p); }
    void OnMouseMove(unsigned f, const TPoint& p) override { At("move" + std::to_string(f), p); }
    void OnLButtonDblClk(unsigned, const TPoint& p, bool*) override { At("double", p); }
    void OnMouseLeave() override { mLog.push_back(mName + ":leave"); }
    bool OnSetCursor(void*, int, int, bool* passOn) override
    {
        mLog.push_back(mName + ":cursor");
        *passOn = passesCursor;
        return setsCursor;
    }
    void OnTimer(unsigned id) override { mLog.push_back(mName + ":timer" + std::to_string(id)); }
    void OnDrawEvent(TCAFId id, unsigned flags, void*) override
    {
        mLog.push_back(mName + ":draw" + std::to_string(id) + "/" + std::to_string(flags));
    }
    void OnBeforePaint() override {}
    void OnPaint(TDC&, const TRect&) override {}
    void OnBeforeScroll() override {}
    void OnScroll(long long, OnScrollFlags) override {}
    void OnScrollBarUpdated() override {}
    void OnPeriodicUpdate() override { mLog.push_back(mName + ":periodic"); }
    void PrepareForSampling(unsigned) override {}
    void CleanUpAfterSampling() override {}
    void OnScalingChanged() override {}
    void Revert(uint32_t) override {}
    void SetTimeDisplayMode(unsigned, TimeDisplayMode) override {}
    void Read(IBinInStream*) override { mLog.push_back(mName + ":read"); }
    void Write(IBinOutStream*) const override {}
    bool IsActionPermitted(IOFActionType action) const override { return action != refuses; }
    uintptr_t Identity() const override { return uintptr_t(this); }

    int refuses = 0;
    bool setsCursor = false;
    bool passesCursor = false;

private:
    void At(const std::string& what, const TPoint& p)
    {
        mLog.push_back(mName + ":" + what + "@" + std::to_string(p.x) + "," + std::to_string(p.y));
    }

    std::string mName;
    std::vector<std::string>& mLog;
};

}  // namespace TraceTest
