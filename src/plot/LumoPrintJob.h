// A print or copy job of a plot page: it asks the page for the plot's printable SVG, waits for
// the page's answer (the SVG event of its own plot and kind) and hands the SVG to the
// platform's print step; it also says what that step asks of it (device, range, copies) and
// whether it has finished. The platform job derives from it.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFEventHandlerT.h"
#include "framework/ResponseTable.h"

namespace KVD {

class LumoProxyBase;

class LumoPrintJob : public CComObjectRoot, public CAFEventHandlerT<true> {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    // The kind of SVG the job asks the page for.
    static constexpr const char* kPrintKind = "print";

    // The count starts at 0.
    LumoPrintJob(std::string plotId, std::string jobName);
    // Off the subject, if still on it.
    ~LumoPrintJob() override;
    LumoPrintJob(const LumoPrintJob&) = delete;
    LumoPrintJob& operator=(const LumoPrintJob&) = delete;

    KVD_BEGIN_INTERFACE_MAP(LumoPrintJob)
        KVD_INTERFACE_ENTRY(IObserver)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()

    // Observes the subject (when given) and has the proxy ask the page for the plot's SVG.
    void Init(LumoProxyBase* proxy, ISubject* subject);
    // The page's SVG event: the plot's print SVG goes to PrintSvg. Once printed or failed the
    // job leaves the subject, so that a later request of the same plot does not print it again.
    void EvSvgChanged(const wchar_t* plotId, const wchar_t* kind, const wchar_t* svg);

    virtual bool Cancelled() const = 0;
    virtual bool Failed() const { return mFailed; }
    // Received, failed or cancelled.
    virtual bool Finished() const;
    virtual std::string DeviceName() const = 0;
    virtual bool PrintingAll() const = 0;
    virtual bool PrintingRange() const = 0;
    virtual bool PrintingSelection() const = 0;
    virtual int NumCopies() const = 0;
    // Prints or copies the SVG (UTF-8); a standard exception marks the job failed.
    virtual void PrintSvg(const std::string& svg) = 0;

    const std::string& PlotId() const { return mPlotId; }
    const std::string& JobName() const { return mJobName; }
    bool Received() const { return mReceived; }
    ISubject* Subject() const { return mSubject; }

protected:
    // For a platform step that fails without a standard exception.
    void SetFailed() { mFailed = true; }

private:
    void Detach();

    std::string mJobName;
    std::string mPlotId;
    bool mReceived = false;
    bool mFailed = false;
    COMPtr<ISubject> mSubject;
};

}  // namespace KVD
