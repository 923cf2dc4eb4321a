// One interactive plot: a page holding the plotting library and one plot div, driven by script
// calls. The control owns the plot's persist task, its two scale proxies and its outstanding
// print and copy jobs; the platform control owns the page and the plot's proxy.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IEnumFloatEx.h"
#include "IOrrelDocument.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "plot/ChannelUnitsRange.h"
#include "plot/LumoPersistTask.h"
#include "plot/LumoPrintJob.h"
#include "plot/LumoProxyBase.h"
#include "plot/ScaleProxy.h"

namespace KVD {

class LumoPlotBase {
public:
    // Holds the document; the flag is not used.
    LumoPlotBase(IAutoOrrelDoc* document, bool);
    virtual ~LumoPlotBase();
    LumoPlotBase(const LumoPlotBase&) = delete;
    LumoPlotBase& operator=(const LumoPlotBase&) = delete;

    // True when the page ran the script and it gave a value.
    virtual bool ExecuteJavaScript(const String& script) const = 0;
    // Whether the page runs scripts now (it has loaded); scripts sent before are dropped.
    virtual bool CanRunScripts() const { return true; }
    // A new job with one reference, which the caller takes over; null for none.
    virtual COMPtr<LumoPrintJob> CreatePlatformPrintJob(const std::string& jobName) = 0;
    virtual COMPtr<LumoPrintJob> CreatePlatformCopyTask() = 0;
    virtual unsigned GetDoubleClickDelay() const = 0;
    virtual std::string GetDivId() const = 0;
    virtual LumoProxyBase* GetLumoProxy() const = 0;

    // Makes the page's plot object; once per page load.
    void CreateJSPlotObject();
    // While set, a markup the same as the one the page's plot was last set up with is not sent
    // again: the view repeats an update over data that has not changed since.
    void SetRepeatingUpdate(bool repeating) { mRepeating = repeating; }
    // The plot's persistence key: the first call with a settings registrar at hand makes the
    // persist task and the scale proxies; later calls change nothing.
    void SetPlotId(const String& key);
    ISubject* GetSubject() const;
    // Sends the markup, with the kept ranges and positions, as one script string that the page
    // reads back unchanged.
    void SetMarkup(const String& markup);
    void PlotterDataChanged(const String& plotterId, int first, int second);
    // userRescale: applied as the user's rescale; onlyIfUnset: kept only where none is kept.
    // Nothing without a persist task.
    void SetScaleRanges(const ChannelYDataRange& x, const ChannelYDataRange& y, bool userRescale, bool onlyIfUnset);
    void SetEnumSource(const String& id, IEnumFloatEx* source);
    void RegisterClickablePlot(const String& sourceId, const String& partnerId, const String& plotterId,
                               PlotType type);
    // Drops the finished jobs of the list, then makes, lists and returns a new one (null when
    // none could be made, and then nothing is listed).
    COMPtr<LumoPrintJob> CreatePrintJob(const String& jobName);
    COMPtr<LumoPrintJob> CopyToClipboard();

    LumoPersistTask* GetPersistTask() const { return mPersistTask; }
    ScaleProxy* GetXScaleProxy() const { return mXScale.get(); }
    ScaleProxy* GetYScaleProxy() const { return mYScale.get(); }
    const std::vector<COMPtr<LumoPrintJob>>& PrintJobs() const { return mPrintJobs; }
    const std::vector<COMPtr<LumoPrintJob>>& CopyJobs() const { return mCopyJobs; }
    IAutoOrrelDoc* GetDocument() const { return mDocument; }

    // "lumo.get_plot('<div id>')."
    std::string PlotCall() const;

private:
    static COMPtr<LumoPrintJob> AddJob(std::vector<COMPtr<LumoPrintJob>>& jobs, COMPtr<LumoPrintJob> job);

    std::vector<COMPtr<LumoPrintJob>> mPrintJobs;
    std::vector<COMPtr<LumoPrintJob>> mCopyJobs;
    COMPtr<LumoPersistTask> mPersistTask;
    COMPtr<IAutoOrrelDoc> mDocument;
    std::unique_ptr<ScaleProxy> mXScale;
    std::unique_ptr<ScaleProxy> mYScale;
    std::string mShownMarkup;  // the set-up script the page's plot ran last; empty for none
    bool mRepeating = false;
};

}  // namespace KVD
