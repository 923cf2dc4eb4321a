#include "plot/ScriptCalls.h"

#include "plot/MarkupToJSON.h"
#include "plot/ScriptText.h"

namespace Lumo {
namespace {

std::string PlotCall(const std::string& plotId, const char* method)
{
    std::string call = "lumo.get_plot(";
    AppendQuoted(call, plotId);
    call += ").";
    call += method;
    call += '(';
    return call;
}

}  // namespace

bool GetSetMarkupJS(const std::string& markup, const std::string& plotId, std::string& out)
{
    std::string error;
    return GetSetMarkupJS(markup, plotId, out, error);
}

bool GetSetMarkupJS(const std::string& markup, const std::string& plotId, std::string& out, std::string& error)
{
    std::string literal;
    if (!MarkupToJSON(markup, literal, error))
        return false;
    out = PlotCall(plotId, "setup") + literal + ");";
    return true;
}

bool GetShowErrorJS(const std::string& message, const std::string& plotId, std::string& out)
{
    out = PlotCall(plotId, "show_error");
    AppendQuoted(out, message);
    out += ");";
    return true;
}

bool GetSVGJS(const std::string& plotId, const std::string& kind, std::string& out)
{
    out = PlotCall(plotId, "copy");
    AppendQuoted(out, kind);
    out += ");";
    return true;
}

}  // namespace Lumo
