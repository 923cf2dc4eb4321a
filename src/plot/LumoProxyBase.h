// The host side of one plot page: the named sample sources and equations the page pulls data
// from, the plotters whose points the user can click, and the handlers of everything the page
// reports. A handler answers the page at once or posts a Lumo event (LumoIds.h) that the
// plot's observers (views, persist task, print jobs) receive synchronously.
//
// Every value from the page is untrusted: counts are capped at kMaxRequestCount, positions are
// clamped to the sources' integer range, and no answer holds more values than were asked for.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "IEnumFloatEx.h"
#include "IObserver.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "plot/PixColumns.h"
#include "plot/PixPath.h"

namespace Web {
class WebScriptObject;
}

namespace KVD {

enum class PlotType : int { kTimePlot = 0, kXYPlot = 1, kScatterPlot = 2 };

struct ClickablePlotInfo {
    std::string partnerId;
    std::string sourceId;
    PlotType type;
};

// Not used by the proxy: its owner may hand one in.
class ILumoProxyUI {
public:
    virtual ~ILumoProxyUI() = default;
};

class LumoProxyBase {
public:
    struct Equation {
        std::string expression;
        std::string text;
    };

    static const bool kDefaultErrorVisibility;
    // The most values one data or label request answers: the page asks in chunks no larger
    // (4,194,304 values, 32 MiB of doubles), and more would let a page make the host allocate
    // without bound.
    static constexpr int64_t kMaxRequestCount = int64_t(1) << 22;
    // Samples asked of a source per call.
    static constexpr unsigned kBatch = 256;
    // Values an answer makes room for at once.
    static constexpr int64_t kReserveLimit = int64_t(1) << 17;

    LumoProxyBase(ILumoProxyUI* ui, bool errorVisibility);
    virtual ~LumoProxyBase();
    LumoProxyBase(const LumoProxyBase&) = delete;
    LumoProxyBase& operator=(const LumoProxyBase&) = delete;

    virtual void OnDestroyPlot() = 0;
    virtual ISubject* GetSubject() = 0;
    virtual void SetEnumSource(const String& id, IEnumFloatEx* source);
    virtual void SetEquationSource(const String& id, const String& expression, const String& text);
    virtual void RegisterClickablePlot(const String& sourceId, const String& partnerId, const String& plotterId,
                                       PlotType type);
    virtual void ClearDataSources();
    virtual bool ExecuteJavaScript(const String& script) = 0;
    // Has the page run the script without waiting for it.
    virtual void PostJavaScript(const String& script) { ExecuteJavaScript(script); }
    // Posts event id with its argument slots; observers run before it returns.
    virtual HRESULT PostEvent(TCAFId id, uint64_t* slots) = 0;
    // Observers hear whether the markup compiled; then the page gets the plot's setup (or the
    // error) to run. False when it did not compile.
    virtual bool CompileMarkup(const String& plotId, const String& markup);
    // Puts the page's resource names on its window and answers the window.
    virtual Web::WebScriptObject* ResourceURLs() = 0;
    virtual void MakeDropMenu(const String& plotId, int scale, int left, int top, int right, int bottom,
                              bool vertical, double min, double max) = 0;
    virtual void BadPlotterProperty(const String& plotId, const String& plotterId, const String& property,
                                    const String& typeName, const String& defaultMarkup);
    virtual void VerticalLinesDragged(const String& id, const std::vector<double>& values);
    virtual void BoxResized(const String& id, const std::vector<double>& values);
    virtual void SetSVG(const String& plotId, const String& kind, const String& svg);
    virtual void XScalingChanged(const String& plotId, const std::vector<double>& values);
    virtual void YScalingChanged(const String& plotId, const std::vector<double>& values);
    virtual void ZoomLevelChanged(const String& id, const std::vector<double>& values);
    // Appends at most count values (capped at kMaxRequestCount); false for an unknown source.
    virtual bool RequestPixData(const String& id, double start, double step, int64_t count, std::vector<double>& out);
    virtual bool RequestLabelsData(const String& id, double start, double step, int64_t count, std::vector<String>& out);
    // Up to count samples of a '$' source from start (capped at kMaxRequestCount), reduced to
    // what the pixel columns of the mapping show (PixColumns.h); the first sample has the
    // page's index `index`. Appends the number of samples read, 0, then the kept pairs. False
    // for an unknown source or an expression.
    virtual bool RequestPixColumns(const String& id, double start, int64_t count, double index,
                                   const PixColumns::Mapping& mapping, std::vector<double>& out);
    // Up to count points of two '$' sources read side by side from start (capped at
    // kMaxRequestCount), reduced to what the drawing of their line at the mapping keeps
    // (PixPath.h), going on from the point (lastX, lastY) kept before (NaN: none). Appends the
    // number of points read, the x range and the y range (low, high; NaN for none) of the
    // finite ones, then the kept pairs. False for an unknown source or an expression.
    virtual bool RequestPixPath(const String& xId, const String& yId, double start, int64_t count, double lastX,
                                double lastY, const PixPath::Mapping& mapping, std::vector<double>& out);
    virtual String RequestEquation(const String& id);
    virtual bool IsZoomEnabled() const;
    virtual void SetZoomState(const String& plotId, bool canUndo, bool canRedo);
    virtual bool HasData() const;
    virtual String OnMouseClick(double index, const String& plotterId, bool select);
    virtual void RegionPosChanged(const String& regionId, double x, double y);
    virtual void RegionTextChanged(const String& regionId, const String& text);

    bool ErrorVisibility() const { return mErrorVisibility; }
    bool CanUndo() const { return mCanUndo; }
    bool CanRedo() const { return mCanRedo; }
    const std::map<std::string, ClickablePlotInfo>& ClickablePlots() const { return mClickablePlots; }

    // The message BadPlotterProperty shows (HTML; the page's texts in it are escaped).
    static std::string BadPropertyMessage(const std::string& plotterId, const std::string& property,
                                          const std::string& typeName, const std::string& defaultMarkup);

private:
    template <unsigned N>
    void PostValues(const String& id, const std::vector<double>& values);
    template <unsigned N>
    void PostScaling(const String& plotId, const std::vector<double>& values);
    // The source moved to start, ready to read; null when it cannot get there (its end).
    static IEnumFloatEx* PositionedSource(IEnumFloatEx* source, double start);
    // Reads up to count samples in batches, handing each batch to take.
    template <class Take>
    static void ReadSamples(IEnumFloatEx* source, int64_t count, Take take);
    // The '$' source of that name; null for another name.
    IEnumFloatEx* NamedSource(const std::string& name) const;
    // The source's label at trunc(index); empty when the source offers none.
    static String LabelAt(IEnumFloatEx* source, double index);

    bool mErrorVisibility;
    bool mZoomEnabled = false;
    bool mCanUndo = false;
    bool mCanRedo = false;
    std::map<std::string, COMPtr<IEnumFloatEx>> mSources;
    std::map<std::string, Equation> mEquations;
    std::map<std::string, std::string> mClickablePlotterIds;
    std::map<std::string, ClickablePlotInfo> mClickablePlots;
};

}  // namespace KVD
