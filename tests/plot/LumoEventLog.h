// An observer of a plot's subject that writes every Lumo event it hears as one line of text.
#pragma once

#include <string>
#include <vector>

#include "foundation/UnknownImp.h"
#include "framework/CAFEventHandlerT.h"
#include "framework/ResponseTable.h"

namespace PlotTest {

class LumoEventLog : public KVD::CComObjectRoot, public CAFEventHandlerT<true> {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    KVD_BEGIN_INTERFACE_MAP(LumoEventLog)
        KVD_INTERFACE_ENTRY(IObserver)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()

    void VLines(const wchar_t* id, const double* values, unsigned count) { Values("VLinesDragged", id, values, count); }
    void Compiled(bool ok) { lines.push_back(std::string("CompileMarkup ") + (ok ? "true" : "false")); }
    void BadProperty(const wchar_t* plotter, const wchar_t* property, const wchar_t* type, const wchar_t* markup);
    void Svg(const wchar_t* plotId, const wchar_t* kind, const wchar_t* svg);
    void Box(const wchar_t* id, const double* values, unsigned count) { Values("BoxResized", id, values, count); }
    void XScaling(const wchar_t* id, const double* values, unsigned count, bool autoScaled);
    void YScaling(const wchar_t* id, const double* values, unsigned count, bool autoScaled);
    void Zoom(const wchar_t* id, const double* values, unsigned count) { Values("ZoomLevelChanged", id, values, count); }
    void Click(const wchar_t* dataId, const wchar_t* label, bool select);
    void RegionPos(const wchar_t* id, double x, double y);
    void RegionText(const wchar_t* id, const wchar_t* text);

    std::vector<std::string> lines;

private:
    void Values(const char* name, const wchar_t* id, const double* values, unsigned count);
};

}  // namespace PlotTest
