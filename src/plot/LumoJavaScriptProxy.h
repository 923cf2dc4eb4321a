// The page's "lumo_proxy": the script object through which a plot page calls its host. It
// converts the page's values into host types, forwards each call to the plot proxy, and
// converts the results back. Nothing else happens here.
//
// Calls and the page (Web/Page.h): a method whose result the page uses is answered at once,
// while the page waits; its handler must not call into the page. Every other method is queued
// and runs, in order, before the host's next evaluation on that page returns (or on the run
// loop's next turn) — so it may run scripts in the page and post events whose observers do.
//
// The page is untrusted: a call with a text longer than kMaxTextBytes or a list longer than
// kMaxListLength is refused; numbers become integers by truncation toward zero, clamped to the
// target's range, NaN giving 0; list items are numbers as given, booleans as 1 or 0, numeric
// texts as their number, anything else 0. No exception leaves Dispatch: it is logged and the
// page gets an empty answer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "web/Page.h"

namespace KVD {

class LumoProxyBase;

class LumoJavaScriptProxy {
public:
    static constexpr const char* kScriptName = "lumo_proxy";
    // RequestPixData's samples as a typed array, sent in binary beside the calls.
    static constexpr const char* kSamplesName = "RequestPixSamples";
    // (source, start, count, index, x first, x step, x origin, x offset, x scaling): the
    // source's samples reduced to the pixel columns of that x mapping (LumoProxyBase).
    static constexpr const char* kColumnsName = "RequestPixColumns";
    // (x source, y source, start, count, last x, last y, x origin, x offset, x scaling, y origin,
    // y offset, y scaling): the points of the two sources reduced to what their line at that
    // mapping draws (LumoProxyBase).
    static constexpr const char* kPathName = "RequestPixPath";
    static constexpr size_t kMaxTextBytes = size_t(64) << 20;  // an SVG of a dense plot stays well below
    static constexpr size_t kMaxListLength = size_t(1) << 16;  // the page sends a few values per list

    struct Method {
        const char* name;
        Web::BridgeObject::Call call;
    };
    // The nineteen script names, in the order the name table tests them.
    static const std::vector<Method>& Methods();

    // The client owns the bridge and outlives it.
    explicit LumoJavaScriptProxy(LumoProxyBase* client) : mClient(client) {}

    // The object to install on the page's window.
    Web::BridgeObject ScriptObject();
    // One call from the page; an unknown name answers "".
    Web::Value Dispatch(const std::string& method, const std::vector<Web::Value>& arguments) noexcept;

    // A samples call from the page; false, with nothing in samples, for another name or a failure.
    bool Samples(const std::string& method, const std::vector<Web::Value>& arguments,
                 std::vector<double>& samples) noexcept;

    // The conversions, as the page's values meet host types.
    static double ToNumber(const Web::Value& value);
    static int ToInt(const Web::Value& value);
    static int64_t ToCount(const Web::Value& value, double max);
    static bool ToBool(const Web::Value& value);
    static std::string ToText(const Web::Value& value);
    // Items up to the first undefined one; not a list: none.
    static std::vector<double> ToNumbers(const Web::Value& value);

private:
    Web::Value Call(const std::string& method, const std::vector<Web::Value>& arguments);

    LumoProxyBase* mClient;
};

}  // namespace KVD
