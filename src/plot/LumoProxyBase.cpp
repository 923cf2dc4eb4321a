#include "plot/LumoProxyBase.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <locale>
#include <sstream>

#include "foundation/StringKeys.h"
#include "plot/Evaluate.h"
#include "plot/ILumoEnum.h"
#include "plot/LumoIds.h"
#include "plot/LumoText.h"
#include "plot/ScriptCalls.h"

namespace KVD {
namespace {

uint64_t Slot(const wchar_t* text) { return reinterpret_cast<uintptr_t>(text); }
uint64_t Slot(const double* values) { return reinterpret_cast<uintptr_t>(values); }
uint64_t Slot(unsigned value) { return value; }
uint64_t Slot(bool value) { return value ? 1 : 0; }
uint64_t Slot(double value)
{
    uint64_t slot;
    std::memcpy(&slot, &value, sizeof(slot));
    return slot;
}

// A page's list can be longer than an event's count field.
unsigned CountOf(size_t n) { return static_cast<unsigned>(std::min<size_t>(n, std::numeric_limits<unsigned>::max())); }

// The source position at value, clamped to the positions a source has.
int32_t ClampedPosition(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::trunc(std::clamp(value, lo, hi)));
}

std::string HtmlEscaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace

const bool LumoProxyBase::kDefaultErrorVisibility = true;

LumoProxyBase::LumoProxyBase(ILumoProxyUI*, bool errorVisibility) : mErrorVisibility(errorVisibility) {}

LumoProxyBase::~LumoProxyBase() { ClearDataSources(); }

void LumoProxyBase::SetEnumSource(const String& id, IEnumFloatEx* source)
{
    mSources[ToU8String(id)] = source;
}

void LumoProxyBase::SetEquationSource(const String& id, const String& expression, const String& text)
{
    mEquations[ToU8String(id)] = Equation{ToU8String(expression), ToU8String(text)};
}

void LumoProxyBase::RegisterClickablePlot(const String& sourceId, const String& partnerId, const String& plotterId,
                                          PlotType type)
{
    const std::string source = ToU8String(sourceId);
    mClickablePlots[source] = ClickablePlotInfo{ToU8String(partnerId), source, type};
    mClickablePlotterIds[source] = ToU8String(plotterId);
}

void LumoProxyBase::ClearDataSources()
{
    mSources.clear();
    mClickablePlots.clear();
    mClickablePlotterIds.clear();
}

bool LumoProxyBase::CompileMarkup(const String& plotId, const String& markup)
{
    std::string script, error;
    if (!Lumo::GetSetMarkupJS(ToU8String(markup), ToU8String(plotId), script, error)) {
        uint64_t slots[] = {Slot(false)};
        PostEvent(LumoEventId<kLumoCompileMarkup>::GetId(), slots);
        // The page waits for its setup under the loading indicator: tell it why none comes.
        if (mErrorVisibility && Lumo::GetShowErrorJS(HtmlEscaped(error), ToU8String(plotId), script))
            ExecuteJavaScript(ToKVDString(script));
        return false;
    }
    uint64_t slots[] = {Slot(true)};
    PostEvent(LumoEventId<kLumoCompileMarkup>::GetId(), slots);
    // The setup draws the plot: the host need not wait for it, and goes on with the other
    // plots meanwhile.
    PostJavaScript(ToKVDString(script));
    return true;
}

std::string LumoProxyBase::BadPropertyMessage(const std::string& plotterId, const std::string& property,
                                              const std::string& typeName, const std::string& defaultMarkup)
{
    const bool vowel = !typeName.empty() && std::string("aeiou").find(char(std::tolower(
                                                static_cast<unsigned char>(typeName[0])))) != std::string::npos;
    const std::string article = Lumo::Text(vowel ? LumoStr::IDS_LUMO_ARTICLE_AN : LumoStr::IDS_LUMO_ARTICLE_A);
    const std::string remedy = defaultMarkup.empty()
                                   ? Lumo::Text(LumoStr::IDS_LUMO_PLOTTER_WILL_FAIL)
                                   : Lumo::Fill(Lumo::Text(LumoStr::IDS_LUMO_USING_DEFAULT), {HtmlEscaped(defaultMarkup)});
    return Lumo::Fill(Lumo::Text(LumoStr::IDS_LUMO_BAD_PROPERTY),
                      {HtmlEscaped(plotterId), HtmlEscaped(property), article, HtmlEscaped(typeName), remedy});
}

void LumoProxyBase::BadPlotterProperty(const String& plotId, const String& plotterId, const String& property,
                                       const String& typeName, const String& defaultMarkup)
{
    if (mErrorVisibility) {
        const std::string message = BadPropertyMessage(ToU8String(plotterId), ToU8String(property),
                                                       ToU8String(typeName), ToU8String(defaultMarkup));
        std::string script;
        if (Lumo::GetShowErrorJS(message, ToU8String(plotId), script))
            ExecuteJavaScript(ToKVDString(script));
    }
    uint64_t slots[] = {Slot(plotterId.c_str()), Slot(property.c_str()), Slot(typeName.c_str()),
                        Slot(defaultMarkup.c_str())};
    PostEvent(LumoEventId<kLumoBadPlotterProperty>::GetId(), slots);
}

template <unsigned N>
void LumoProxyBase::PostValues(const String& id, const std::vector<double>& values)
{
    if (values.empty())
        return;
    uint64_t slots[] = {Slot(id.c_str()), Slot(values.data()), Slot(CountOf(values.size()))};
    PostEvent(LumoEventId<N>::GetId(), slots);
}

// The page sends minimum, maximum and the auto-scale flag; fewer than two values carry no
// range, so nothing is posted for them.
template <unsigned N>
void LumoProxyBase::PostScaling(const String& plotId, const std::vector<double>& values)
{
    if (values.size() < 2)
        return;
    const double flag = values.back();
    const bool autoScaled = values.size() > 2 && flag != 0.0;  // NaN counts as set
    const unsigned count = CountOf(values.size() > 2 ? values.size() - 1 : values.size());
    uint64_t slots[] = {Slot(plotId.c_str()), Slot(values.data()), Slot(count), Slot(autoScaled)};
    PostEvent(LumoEventId<N>::GetId(), slots);
}

void LumoProxyBase::VerticalLinesDragged(const String& id, const std::vector<double>& values)
{
    PostValues<kLumoVLinesDragged>(id, values);
}

void LumoProxyBase::BoxResized(const String& id, const std::vector<double>& values)
{
    PostValues<kLumoBoxResized>(id, values);
}

void LumoProxyBase::ZoomLevelChanged(const String& id, const std::vector<double>& values)
{
    PostValues<kLumoZoomLevelChanged>(id, values);
}

void LumoProxyBase::XScalingChanged(const String& plotId, const std::vector<double>& values)
{
    PostScaling<kLumoXScalingChanged>(plotId, values);
}

void LumoProxyBase::YScalingChanged(const String& plotId, const std::vector<double>& values)
{
    PostScaling<kLumoYScalingChanged>(plotId, values);
}

void LumoProxyBase::SetSVG(const String& plotId, const String& kind, const String& svg)
{
    uint64_t slots[] = {Slot(plotId.c_str()), Slot(kind.c_str()), Slot(svg.c_str())};
    PostEvent(LumoEventId<kLumoSetSVG>::GetId(), slots);
}

IEnumFloatEx* LumoProxyBase::PositionedSource(IEnumFloatEx* source, double start)
{
    if (source == nullptr)
        return nullptr;
    int32_t position = 0;
    source->GetPosition(&position);
    const int64_t distance = int64_t(ClampedPosition(start)) - position;
    if (distance < std::numeric_limits<int32_t>::min() || distance > std::numeric_limits<int32_t>::max())
        return nullptr;
    int32_t skipped = 0;
    source->SkipEx(static_cast<int32_t>(distance), &skipped);
    // A source that stops short would answer samples from the wrong place: that is its end.
    if (skipped != distance)
        return nullptr;
    return source;
}

template <class Take>
void LumoProxyBase::ReadSamples(IEnumFloatEx* source, int64_t count, Take take)
{
    float buffer[kBatch];
    int64_t remaining = count;
    while (remaining > 0) {
        const uint32_t asked = static_cast<uint32_t>(std::min<int64_t>(remaining, kBatch));
        uint32_t delivered = 0;
        source->Next(asked, buffer, &delivered);
        delivered = std::min(delivered, asked);  // a source must not claim more than it was given room for
        if (delivered == 0)
            break;
        take(buffer, delivered);
        remaining -= delivered;
        if (delivered < asked)
            break;
    }
}

bool LumoProxyBase::RequestPixData(const String& id, double start, double step, int64_t count,
                                   std::vector<double>& out)
{
    const std::string name = ToU8String(id);
    count = std::min(count, kMaxRequestCount);
    if (!name.empty() && name[0] == '$') {
        const auto entry = mSources.find(name);
        if (entry == mSources.end())
            return false;
        if (count <= 0)
            return true;
        IEnumFloatEx* source = PositionedSource(entry->second, start);
        if (source == nullptr)
            return true;
        // The page asks for more than a short source holds: room for the first part only.
        out.reserve(out.size() + size_t(std::min<int64_t>(count, kReserveLimit)));
        ReadSamples(source, count,
                    [&out](const float* samples, uint32_t n) { out.insert(out.end(), samples, samples + n); });
        return true;
    }
    const auto equation = mEquations.find(name);
    const std::string& expression = equation != mEquations.end() ? equation->second.expression : name;
    if (count <= 0)
        return true;
    return Evaluate(expression, start, step, static_cast<unsigned>(count), out);
}

bool LumoProxyBase::RequestPixColumns(const String& id, double start, int64_t count, double index,
                                      const PixColumns::Mapping& mapping, std::vector<double>& out)
{
    const std::string name = ToU8String(id);
    const auto entry = name.empty() || name[0] != '$' ? mSources.end() : mSources.find(name);
    if (entry == mSources.end())
        return false;
    const size_t header = out.size();
    out.insert(out.end(), {0.0, 0.0});
    count = std::min(count, kMaxRequestCount);
    IEnumFloatEx* source = count > 0 ? PositionedSource(entry->second, start) : nullptr;
    if (source == nullptr)
        return true;
    PixColumns columns(mapping, index, out);
    ReadSamples(source, count, [&columns](const float* samples, uint32_t n) { columns.Add(samples, n); });
    out[header] = double(columns.Finish());
    return true;
}

IEnumFloatEx* LumoProxyBase::NamedSource(const std::string& name) const
{
    const auto entry = name.empty() || name[0] != '$' ? mSources.end() : mSources.find(name);
    return entry != mSources.end() ? entry->second.get() : nullptr;
}

bool LumoProxyBase::RequestPixPath(const String& xId, const String& yId, double start, int64_t count, double lastX,
                                   double lastY, const PixPath::Mapping& mapping, std::vector<double>& out)
{
    IEnumFloatEx* x = NamedSource(ToU8String(xId));
    IEnumFloatEx* y = NamedSource(ToU8String(yId));
    if (x == nullptr || y == nullptr)
        return false;
    const size_t header = out.size();
    const double nan = std::nan("");
    out.insert(out.end(), {0.0, nan, nan, nan, nan});
    count = std::min(count, kMaxRequestCount);
    // The same source on both axes is read once.
    y = count > 0 && y != x ? PositionedSource(y, start) : y;
    x = count > 0 ? PositionedSource(x, start) : nullptr;
    if (x == nullptr || y == nullptr)
        return true;
    PixPath path(mapping, lastX, lastY, out);
    float xs[kBatch], ys[kBatch];
    for (int64_t remaining = count; remaining > 0;) {
        const uint32_t asked = static_cast<uint32_t>(std::min<int64_t>(remaining, kBatch));
        uint32_t gotX = 0, gotY = 0;
        x->Next(asked, xs, &gotX);
        if (y != x)
            y->Next(asked, ys, &gotY);
        else
            gotY = static_cast<uint32_t>(std::copy(xs, xs + std::min(gotX, asked), ys) - ys);
        // Neither source may claim more than it was given room for; the shorter ends the line.
        const uint32_t both = std::min({gotX, gotY, asked});
        if (both == 0)
            break;
        path.Add(xs, ys, both);
        remaining -= both;
        if (both < asked)
            break;
    }
    out[header] = double(path.Count());
    if (path.XLow() <= path.XHigh()) {
        out[header + 1] = path.XLow();
        out[header + 2] = path.XHigh();
        out[header + 3] = path.YLow();
        out[header + 4] = path.YHigh();
    }
    return true;
}

bool LumoProxyBase::RequestLabelsData(const String& id, double start, double, int64_t count, std::vector<String>& out)
{
    const std::string name = ToU8String(id);
    if (name.empty() || name[0] != '$')
        return true;
    const auto entry = mSources.find(name);
    if (entry == mSources.end())
        return false;
    const COMPtr<ILumoEnum> labeller(com_cast(entry->second.get()));
    if (labeller == nullptr)
        return false;
    count = std::min(count, kMaxRequestCount);
    if (count <= 0)
        return true;
    IEnumFloatEx* source = PositionedSource(entry->second, start);
    if (source == nullptr)
        return true;
    double t = start;
    String label;
    ReadSamples(source, count, [&](const float*, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i, t += 1.0) {
            labeller->GetLabelAt(ClampedPosition(t), String::Setter(label));
            out.push_back(label);
        }
    });
    return true;
}

String LumoProxyBase::RequestEquation(const String& id)
{
    const auto equation = mEquations.find(ToU8String(id));
    return equation == mEquations.end() ? String() : ToKVDString(equation->second.text);
}

bool LumoProxyBase::IsZoomEnabled() const { return mZoomEnabled; }

void LumoProxyBase::SetZoomState(const String&, bool canUndo, bool canRedo)
{
    mCanUndo = canUndo;
    mCanRedo = canRedo;
}

bool LumoProxyBase::HasData() const { return !mSources.empty(); }

String LumoProxyBase::LabelAt(IEnumFloatEx* source, double index)
{
    String label;
    const COMPtr<ILumoEnum> labeller(com_cast(source));
    if (labeller != nullptr)
        labeller->GetLabelAt(ClampedPosition(index), String::Setter(label));
    return label;
}

String LumoProxyBase::OnMouseClick(double index, const String& plotterId, bool select)
{
    static const String kAnswer(L"someDataId");
    if (plotterId.empty())
        return kAnswer;
    String dataId = plotterId;
    String label;
    bool labelled = false;
    for (const auto& entry : mClickablePlotterIds) {
        if (!ToKVDString(entry.second).CaseInsensitiveEqual(plotterId))
            continue;
        const auto source = mSources.find(entry.first);
        if (source != mSources.end()) {
            dataId = ToKVDString(entry.first);
            label = LabelAt(source->second, index);
            labelled = true;
        }
        break;
    }
    if (!labelled) {
        std::wostringstream text;
        text.imbue(std::locale::classic());
        text << index;
        label = String(text.str());
    }
    uint64_t slots[] = {Slot(dataId.c_str()), Slot(label.c_str()), Slot(select)};
    PostEvent(LumoEventId<kLumoMouseClick>::GetId(), slots);
    return kAnswer;
}

void LumoProxyBase::RegionPosChanged(const String& regionId, double x, double y)
{
    uint64_t slots[] = {Slot(regionId.c_str()), Slot(x), Slot(y)};
    PostEvent(LumoEventId<kLumoRegionPosChanged>::GetId(), slots);
}

void LumoProxyBase::RegionTextChanged(const String& regionId, const String& text)
{
    uint64_t slots[] = {Slot(regionId.c_str()), Slot(text.c_str())};
    PostEvent(LumoEventId<kLumoRegionTextChanged>::GetId(), slots);
}

}  // namespace KVD
