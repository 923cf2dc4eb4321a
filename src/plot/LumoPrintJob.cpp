#include "plot/LumoPrintJob.h"

#include <exception>
#include <utility>

#include "foundation/KVDString.h"
#include "plot/LumoIds.h"
#include "plot/LumoProxyBase.h"
#include "plot/ScriptCalls.h"

namespace KVD {
namespace {

typedef LumoEventId<kLumoSetSVG> SvgChangedEvent;

}  // namespace

CAF_DEFINE_RESPONSE_TABLE(LumoPrintJob, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Event<LumoPrintJob>(&SvgChangedEvent::GetId, &LumoPrintJob::EvSvgChanged),
    TableEnd(),
};

LumoPrintJob::LumoPrintJob(std::string plotId, std::string jobName)
    : mJobName(std::move(jobName)), mPlotId(std::move(plotId))
{
}

LumoPrintJob::~LumoPrintJob() { Detach(); }

void LumoPrintJob::Init(LumoProxyBase* proxy, ISubject* subject)
{
    if (subject != nullptr) {
        mSubject = subject;
        subject->AttachObserver(this);
    }
    std::string script;
    Lumo::GetSVGJS(mPlotId, kPrintKind, script);
    if (proxy != nullptr)
        proxy->ExecuteJavaScript(ToKVDString(script));
}

void LumoPrintJob::Detach()
{
    if (mSubject != nullptr)
        mSubject->DetachObserver(this);
    mSubject = nullptr;
}

void LumoPrintJob::EvSvgChanged(const wchar_t* plotId, const wchar_t* kind, const wchar_t* svg)
{
    if (kind == nullptr || std::wstring(kind) != L"print")
        return;
    if (plotId == nullptr || String(plotId) != ToKVDString(mPlotId))
        return;
    // Held, so that leaving the subject cannot end the job while it prints.
    const COMPtr<IObserver> alive(static_cast<IObserver*>(this));
    try {
        PrintSvg(ToU8String(String(svg != nullptr ? svg : L"")));
    } catch (const std::exception&) {
        mFailed = true;
        Detach();
        throw;
    }
    mReceived = true;
    Detach();
}

bool LumoPrintJob::Finished() const
{
    return mReceived || Failed() || Cancelled();
}

}  // namespace KVD
