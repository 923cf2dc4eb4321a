#include "LumoEventLog.h"

#include "plot/LumoIds.h"
#include "web/Value.h"

namespace PlotTest {
namespace {

using namespace KVD;

std::string U8(const wchar_t* text) { return text == nullptr ? "(null)" : ToU8String(String(text)); }

std::string List(const double* values, unsigned count)
{
    std::string text = "[";
    for (unsigned i = 0; i < count; ++i)
        text += (i == 0 ? "" : ",") + Web::ScriptNumberText(values[i]);
    return text + "]";
}

}  // namespace

CAF_DEFINE_RESPONSE_TABLE(LumoEventLog, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoVLinesDragged>::GetId, &LumoEventLog::VLines),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoCompileMarkup>::GetId, &LumoEventLog::Compiled),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoBadPlotterProperty>::GetId, &LumoEventLog::BadProperty),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoSetSVG>::GetId, &LumoEventLog::Svg),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoBoxResized>::GetId, &LumoEventLog::Box),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoXScalingChanged>::GetId, &LumoEventLog::XScaling),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoYScalingChanged>::GetId, &LumoEventLog::YScaling),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoZoomLevelChanged>::GetId, &LumoEventLog::Zoom),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoMouseClick>::GetId, &LumoEventLog::Click),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoRegionPosChanged>::GetId, &LumoEventLog::RegionPos),
    ResponseTable::Event<LumoEventLog>(&LumoEventId<kLumoRegionTextChanged>::GetId, &LumoEventLog::RegionText),
    TableEnd(),
};

void LumoEventLog::Values(const char* name, const wchar_t* id, const double* values, unsigned count)
{
    lines.push_back(std::string(name) + " " + U8(id) + " " + List(values, count));
}

void LumoEventLog::BadProperty(const wchar_t* plotter, const wchar_t* property, const wchar_t* type,
                               const wchar_t* markup)
{
    lines.push_back("BadPlotterProperty " + U8(plotter) + "|" + U8(property) + "|" + U8(type) + "|" + U8(markup));
}

void LumoEventLog::Svg(const wchar_t* plotId, const wchar_t* kind, const wchar_t* svg)
{
    lines.push_back("SetSVG " + U8(plotId) + "|" + U8(kind) + "|" + U8(svg));
}

void LumoEventLog::XScaling(const wchar_t* id, const double* values, unsigned count, bool autoScaled)
{
    lines.push_back("XScalingChanged " + U8(id) + " " + List(values, count) + (autoScaled ? " auto" : " fixed"));
}

void LumoEventLog::YScaling(const wchar_t* id, const double* values, unsigned count, bool autoScaled)
{
    lines.push_back("YScalingChanged " + U8(id) + " " + List(values, count) + (autoScaled ? " auto" : " fixed"));
}

void LumoEventLog::Click(const wchar_t* dataId, const wchar_t* label, bool select)
{
    lines.push_back("OnMouseClick " + U8(dataId) + "|" + U8(label) + (select ? " select" : " keep"));
}

void LumoEventLog::RegionPos(const wchar_t* id, double x, double y)
{
    lines.push_back("RegionPosChanged " + U8(id) + " " + Web::ScriptNumberText(x) + " " + Web::ScriptNumberText(y));
}

void LumoEventLog::RegionText(const wchar_t* id, const wchar_t* text)
{
    lines.push_back("RegionTextChanged " + U8(id) + "|" + U8(text));
}

}  // namespace PlotTest
