#include "plot/LumoJavaScriptProxy.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <limits>

#include "ResultCodes.h"
#include "foundation/XKVD.h"
#include "plot/LumoProxyBase.h"

namespace KVD {
namespace {

using Web::Value;
using Call = Web::BridgeObject::Call;

const Value& Arg(const std::vector<Value>& arguments, size_t i)
{
    static const Value undefined;
    return i < arguments.size() ? arguments[i] : undefined;
}

String Text(const std::vector<Value>& arguments, size_t i)
{
    return ToKVDString(LumoJavaScriptProxy::ToText(Arg(arguments, i)));
}

bool WithinBounds(const Value& value)
{
    switch (value.GetKind()) {
    case Value::Kind::String:
    case Value::Kind::Object:
        return value.AsString().size() <= LumoJavaScriptProxy::kMaxTextBytes;
    case Value::Kind::Array:
        return value.AsArray().size() <= LumoJavaScriptProxy::kMaxListLength &&
               std::all_of(value.AsArray().begin(), value.AsArray().end(), WithinBounds);
    default:
        return true;
    }
}

// Text with a number, blanks around it allowed, in the classic locale; any other text is 0,
// and so is blank text (as in script).
double NumberOfText(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return 0.0;
    const size_t last = text.find_last_not_of(" \t\r\n");
    double value = 0.0;
    const char* end = text.data() + last + 1;
    const auto result = std::from_chars(text.data() + first, end, value);
    return result.ec == std::errc() && result.ptr == end ? value : 0.0;
}

// The method name as the log shows it: no longer than a name of ours.
std::string Named(const std::string& method) { return "lumo_proxy." + method.substr(0, 64) + ": "; }

[[noreturn]] void Refuse(const std::string& method, const std::string& why)
{
    throw XKVD(ToKVDString(Named(method) + why), KVD_E_BADSTATE);
}

// Writes the foundation's log line for a failure that is not an XKVD.
void LogFailure(const std::string& method, const std::string& why) noexcept
{
    try {
        XKVD logged(ToKVDString(Named(method) + why), KVD_E_BADSTATE);
    } catch (...) {
    }
}

}  // namespace

const std::vector<LumoJavaScriptProxy::Method>& LumoJavaScriptProxy::Methods()
{
    static const std::vector<Method> methods = {
        {"CompileMarkup", Call::Queued},      {"MakeDropMenu", Call::Queued},
        {"ResourceURLs", Call::Value},        {"BadPlotterProperty", Call::Queued},
        {"VLinesDragged", Call::Queued},      {"BoxResized", Call::Queued},
        {"SetSVG", Call::Queued},             {"XScalingChanged", Call::Queued},
        {"YScalingChanged", Call::Queued},    {"ZoomLevelChanged", Call::Queued},
        {"RequestPixData", Call::Value},      {"RequestLabelsData", Call::Value},
        {"RequestEquation", Call::Value},     {"IsZoomEnabled", Call::Value},
        {"SetZoomState", Call::Queued},       {"HasData", Call::Value},
        {"OnMouseClick", Call::Queued},       {"RegionPosChanged", Call::Queued},
        {"RegionTextChanged", Call::Queued},
    };
    return methods;
}

Web::BridgeObject LumoJavaScriptProxy::ScriptObject()
{
    Web::BridgeObject object;
    object.name = kScriptName;
    for (const Method& method : Methods())
        object.methods[method.name] = method.call;
    object.handler = [this](const std::string& method, const std::vector<Value>& arguments) {
        return Dispatch(method, arguments);
    };
    object.sampleMethods = {kSamplesName, kColumnsName, kPathName};
    object.samples = [this](const std::string& method, const std::vector<Value>& arguments,
                            std::vector<double>& samples) { return Samples(method, arguments, samples); };
    return object;
}

bool LumoJavaScriptProxy::Samples(const std::string& method, const std::vector<Value>& a,
                                  std::vector<double>& out) noexcept
{
    try {
        if (method != kSamplesName && method != kColumnsName && method != kPathName)
            return false;
        if (a.size() > kMaxListLength || !std::all_of(a.begin(), a.end(), WithinBounds))
            Refuse(method, "an argument is too long");
        if (method == kPathName) {
            const PixPath::Mapping mapping{ToNumber(Arg(a, 6)), ToNumber(Arg(a, 7)),  ToNumber(Arg(a, 8)),
                                           ToNumber(Arg(a, 9)), ToNumber(Arg(a, 10)), ToNumber(Arg(a, 11))};
            return mClient->RequestPixPath(Text(a, 0), Text(a, 1), ToNumber(Arg(a, 2)),
                                           ToCount(Arg(a, 3), 2147483647.0), ToNumber(Arg(a, 4)), ToNumber(Arg(a, 5)),
                                           mapping, out);
        }
        if (method == kColumnsName) {
            const PixColumns::Mapping mapping{ToNumber(Arg(a, 4)), ToNumber(Arg(a, 5)), ToNumber(Arg(a, 6)),
                                              ToNumber(Arg(a, 7)), ToNumber(Arg(a, 8))};
            return mClient->RequestPixColumns(Text(a, 0), ToNumber(Arg(a, 1)), ToCount(Arg(a, 2), 2147483647.0),
                                              ToNumber(Arg(a, 3)), mapping, out);
        }
        // The same request as RequestPixData, whose answer it gives as samples.
        mClient->RequestPixData(Text(a, 0), ToNumber(Arg(a, 1)), ToNumber(Arg(a, 2)), ToCount(Arg(a, 3), 2147483647.0),
                                out);
        return true;
    } catch (const XKVD&) {
        // It has written its log line.
    } catch (const std::exception& e) {
        LogFailure(method, e.what());
    } catch (...) {
        LogFailure(method, "failed");
    }
    return false;
}

Value LumoJavaScriptProxy::Dispatch(const std::string& method, const std::vector<Value>& arguments) noexcept
{
    try {
        if (arguments.size() > kMaxListLength || !std::all_of(arguments.begin(), arguments.end(), WithinBounds))
            Refuse(method, "an argument is too long");
        return Call(method, arguments);
    } catch (const XKVD&) {
        // It has written its log line.
    } catch (const std::exception& e) {
        LogFailure(method, e.what());
    } catch (...) {
        LogFailure(method, "failed");
    }
    return Value::String("");
}

Value LumoJavaScriptProxy::Call(const std::string& method, const std::vector<Value>& a)
{
    LumoProxyBase& client = *mClient;
    if (method == "CompileMarkup") {
        client.CompileMarkup(Text(a, 0), Text(a, 1));
    } else if (method == "MakeDropMenu") {
        client.MakeDropMenu(Text(a, 0), ToInt(Arg(a, 1)), ToInt(Arg(a, 2)), ToInt(Arg(a, 3)), ToInt(Arg(a, 4)),
                            ToInt(Arg(a, 5)), ToBool(Arg(a, 6)), ToNumber(Arg(a, 7)), ToNumber(Arg(a, 8)));
    } else if (method == "ResourceURLs") {
        return client.ResourceURLs() != nullptr ? Value::Window() : Value();
    } else if (method == "BadPlotterProperty") {
        client.BadPlotterProperty(Text(a, 0), Text(a, 1), Text(a, 2), Text(a, 3), Text(a, 4));
    } else if (method == "VLinesDragged") {
        client.VerticalLinesDragged(Text(a, 0), ToNumbers(Arg(a, 1)));
    } else if (method == "BoxResized") {
        client.BoxResized(Text(a, 0), ToNumbers(Arg(a, 1)));
    } else if (method == "SetSVG") {
        client.SetSVG(Text(a, 0), Text(a, 1), Text(a, 2));
    } else if (method == "XScalingChanged") {
        client.XScalingChanged(Text(a, 0), ToNumbers(Arg(a, 1)));
    } else if (method == "YScalingChanged") {
        client.YScalingChanged(Text(a, 0), ToNumbers(Arg(a, 1)));
    } else if (method == "ZoomLevelChanged") {
        client.ZoomLevelChanged(Text(a, 0), ToNumbers(Arg(a, 1)));
    } else if (method == "RequestPixData") {
        std::vector<double> out;
        client.RequestPixData(Text(a, 0), ToNumber(Arg(a, 1)), ToNumber(Arg(a, 2)),
                              ToCount(Arg(a, 3), 2147483647.0), out);
        return Value::Numbers(out);
    } else if (method == "RequestLabelsData") {
        std::vector<String> labels;
        client.RequestLabelsData(Text(a, 0), ToNumber(Arg(a, 1)), ToNumber(Arg(a, 2)),
                                 ToCount(Arg(a, 3), std::numeric_limits<double>::infinity()), labels);
        std::vector<std::string> out;
        out.reserve(labels.size());
        for (const String& label : labels)
            out.push_back(ToU8String(label));
        return Value::Strings(out);
    } else if (method == "RequestEquation") {
        return Value::String(ToU8String(client.RequestEquation(Text(a, 0))));
    } else if (method == "IsZoomEnabled") {
        return Value::Boolean(client.IsZoomEnabled());
    } else if (method == "SetZoomState") {
        client.SetZoomState(Text(a, 0), ToBool(Arg(a, 1)), ToBool(Arg(a, 2)));
    } else if (method == "HasData") {
        return Value::Boolean(client.HasData());
    } else if (method == "OnMouseClick") {
        return Value::String(ToU8String(client.OnMouseClick(ToNumber(Arg(a, 0)), Text(a, 1), ToBool(Arg(a, 2)))));
    } else if (method == "RegionPosChanged") {
        client.RegionPosChanged(Text(a, 0), ToNumber(Arg(a, 1)), ToNumber(Arg(a, 2)));
    } else if (method == "RegionTextChanged") {
        client.RegionTextChanged(Text(a, 0), Text(a, 1));
    } else {
        return Value::String("");
    }
    return Value();
}

double LumoJavaScriptProxy::ToNumber(const Value& value)
{
    switch (value.GetKind()) {
    case Value::Kind::Number:
        return value.AsNumber();
    case Value::Kind::Boolean:
        return value.AsBoolean() ? 1.0 : 0.0;
    case Value::Kind::String:
        return NumberOfText(value.AsString());
    default:
        return 0.0;
    }
}

int LumoJavaScriptProxy::ToInt(const Value& value)
{
    const double number = ToNumber(value);
    if (std::isnan(number))
        return 0;
    constexpr double lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::trunc(std::clamp(number, lo, hi)));
}

int64_t LumoJavaScriptProxy::ToCount(const Value& value, double max)
{
    const double number = ToNumber(value);
    if (std::isnan(number))
        return 0;
    // The largest double below 2^63 still converts.
    const double hi = std::min(max, std::nextafter(9223372036854775808.0, 0.0));
    const double lo = -9223372036854775808.0;
    return static_cast<int64_t>(std::trunc(std::clamp(number, lo, hi)));
}

bool LumoJavaScriptProxy::ToBool(const Value& value)
{
    const double number = ToNumber(value);
    return !std::isnan(number) && number != 0.0;
}

std::string LumoJavaScriptProxy::ToText(const Value& value)
{
    switch (value.GetKind()) {
    case Value::Kind::String:
    case Value::Kind::Number:
    case Value::Kind::Boolean:
        return value.ToText();
    default:
        return std::string();
    }
}

std::vector<double> LumoJavaScriptProxy::ToNumbers(const Value& value)
{
    std::vector<double> numbers;
    if (value.GetKind() != Value::Kind::Array)
        return numbers;
    for (const Value& item : value.AsArray()) {
        if (item.IsUndefined())
            break;
        numbers.push_back(ToNumber(item));
    }
    return numbers;
}

}  // namespace KVD
