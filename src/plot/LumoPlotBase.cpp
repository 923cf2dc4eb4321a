#include "plot/LumoPlotBase.h"

#include <algorithm>

#include "IMessageHandler.h"
#include "ISettingsRegistrar.h"
#include "plot/ScriptText.h"

namespace KVD {

LumoPlotBase::LumoPlotBase(IAutoOrrelDoc* document, bool) : mDocument(document) {}

LumoPlotBase::~LumoPlotBase()
{
    mYScale.reset();
    mXScale.reset();
    mDocument.Clear();
    mPersistTask.Clear();
    mPrintJobs.clear();
    mCopyJobs.clear();
}

std::string LumoPlotBase::PlotCall() const
{
    std::string call = "lumo.get_plot(";
    Lumo::AppendQuoted(call, GetDivId());
    return call + ").";
}

void LumoPlotBase::CreateJSPlotObject()
{
    std::string script = "lumo.make_plot(";
    Lumo::AppendQuoted(script, GetDivId());
    script += ").dblclick_ms(" + std::to_string(GetDoubleClickDelay()) + ");";
    mShownMarkup.clear();
    ExecuteJavaScript(ToKVDString(script));
}

void LumoPlotBase::SetPlotId(const String& key)
{
    const COMPtr<IMessageHandler> handler(com_cast(mDocument.get()));
    COMPtr<IUnknown> unknown;
    if (mDocument != nullptr)
        mDocument->GetSettingsRegistrar(unknown.Set());
    const COMPtr<ISettingsRegistrar> registrar(com_cast(unknown.get()));
    if (registrar == nullptr || mPersistTask != nullptr)
        return;
    mPersistTask = MakeCounted<LumoPersistTask>(key, registrar, GetSubject(), handler);
    mXScale = std::make_unique<ScaleProxy>(mPersistTask, ScaleConsts::kHorizontal);
    mYScale = std::make_unique<ScaleProxy>(mPersistTask, ScaleConsts::kVertical);
}

ISubject* LumoPlotBase::GetSubject() const
{
    LumoProxyBase* proxy = GetLumoProxy();
    return proxy != nullptr ? proxy->GetSubject() : nullptr;
}

void LumoPlotBase::SetMarkup(const String& markup)
{
    std::wstring text(markup.c_str(), markup.length());
    if (mPersistTask != nullptr)
        mPersistTask->ModifyMarkup(text);
    std::string script = PlotCall() + "set_markup(";
    Lumo::AppendQuoted(script, ToU8String(String(text)));
    script += ");";
    if (mRepeating && script == mShownMarkup)
        return;
    mShownMarkup = CanRunScripts() ? script : std::string();
    ExecuteJavaScript(ToKVDString(script));
}

void LumoPlotBase::PlotterDataChanged(const String& plotterId, int first, int second)
{
    mShownMarkup.clear();
    std::string script = PlotCall() + "plotter_data_changed(";
    Lumo::AppendQuoted(script, ToU8String(plotterId));
    script += ", " + std::to_string(first) + ", " + std::to_string(second) + ");";
    ExecuteJavaScript(ToKVDString(script));
}

void LumoPlotBase::SetScaleRanges(const ChannelYDataRange& x, const ChannelYDataRange& y, bool userRescale,
                                  bool onlyIfUnset)
{
    if (mPersistTask != nullptr)
        mPersistTask->SetScaleRanges(x, y, userRescale, onlyIfUnset);
}

void LumoPlotBase::SetEnumSource(const String& id, IEnumFloatEx* source)
{
    if (LumoProxyBase* proxy = GetLumoProxy())
        proxy->SetEnumSource(id, source);
}

void LumoPlotBase::RegisterClickablePlot(const String& sourceId, const String& partnerId, const String& plotterId,
                                         PlotType type)
{
    if (LumoProxyBase* proxy = GetLumoProxy())
        proxy->RegisterClickablePlot(sourceId, partnerId, plotterId, type);
}

COMPtr<LumoPrintJob> LumoPlotBase::AddJob(std::vector<COMPtr<LumoPrintJob>>& jobs, COMPtr<LumoPrintJob> job)
{
    if (job != nullptr)
        jobs.push_back(job);
    return job;
}

namespace {

void DropFinished(std::vector<COMPtr<LumoPrintJob>>& jobs)
{
    jobs.erase(std::remove_if(jobs.begin(), jobs.end(), [](const COMPtr<LumoPrintJob>& job) { return job->Finished(); }),
               jobs.end());
}

}  // namespace

COMPtr<LumoPrintJob> LumoPlotBase::CreatePrintJob(const String& jobName)
{
    DropFinished(mPrintJobs);
    return AddJob(mPrintJobs, CreatePlatformPrintJob(ToU8String(jobName)));
}

COMPtr<LumoPrintJob> LumoPlotBase::CopyToClipboard()
{
    DropFinished(mCopyJobs);
    return AddJob(mCopyJobs, CreatePlatformCopyTask());
}

}  // namespace KVD
