#include "web/PageScripts.h"

#include <nlohmann/json.hpp>

namespace Web {
namespace PageScripts {
namespace {

// Script value to wire JSON; holes and undefined items of arrays stay undefined.
const char* const kEncode = R"js(function enc(v) {
  if (v === undefined) return {$: "u"};
  if (v === null) return null;
  var t = typeof v;
  if (t === "number") return isFinite(v) ? v : {$: "n", v: String(v)};
  if (t === "boolean" || t === "string") return v;
  if (Array.isArray(v)) {
    var r = new Array(v.length);
    for (var i = 0; i < v.length; i++) r[i] = enc(v[i]);
    return r;
  }
  if (v === window) return {$: "w"};
  var s;
  try { s = String(v); } catch (e) { s = "[object]"; }
  return {$: "o", v: s};
})js";

// Wire JSON, as parsed, to a script value; arrays are converted in place.
const char* const kDecode = R"js(function dec(v) {
  if (v === null || typeof v !== "object") return v;
  if (Array.isArray(v)) {
    for (var i = 0; i < v.length; i++) {
      var x = v[i];
      if (x !== null && typeof x === "object") v[i] = dec(x);
    }
    return v;
  }
  switch (v.$) {
  case "u": return undefined;
  case "n": return Number(v.v);
  case "w": return window;
  default: return v.v;
  }
})js";

const char* const kInstaller = R"js(
  function call(o, m, q, a) {
    var x = new XMLHttpRequest();
    x.open("POST", callURL, false);
    x.setRequestHeader("Content-Type", "text/plain;charset=UTF-8");
    var args = new Array(a.length);
    for (var i = 0; i < a.length; i++) args[i] = enc(a[i]);
    x.send(JSON.stringify({o: o, m: m, q: q, a: args}));
    if (x.status !== 200) throw new Error("The host call " + o + "." + m + " failed: " + x.responseText);
    var r = JSON.parse(x.responseText);
    if (r.s) for (var j = 0; j < r.s.length; j++) window[r.s[j][0]] = dec(r.s[j][1]);
    return dec(r.v);
  }
  // Samples come as base64 of their bytes, 4 or 8 a sample (X-Sample-Bytes), into a typed
  // array that views the decoded bytes; a failure answers "", as an unknown name does.
  function samples(o, m, a) {
    var x = new XMLHttpRequest();
    x.open("POST", dataURL, false);
    x.setRequestHeader("Content-Type", "text/plain;charset=UTF-8");
    var args = new Array(a.length);
    for (var i = 0; i < a.length; i++) args[i] = enc(a[i]);
    x.send(JSON.stringify({o: o, m: m, q: false, a: args}));
    if (x.status !== 200) return "";
    var text = x.responseText, bytes;
    if (Uint8Array.fromBase64) {
      bytes = Uint8Array.fromBase64(text);
    } else {
      var raw = atob(text);
      bytes = new Uint8Array(raw.length);
      for (var j = 0; j < raw.length; j++) bytes[j] = raw.charCodeAt(j);
    }
    return x.getResponseHeader("X-Sample-Bytes") === "4" ? new Float32Array(bytes.buffer) : new Float64Array(bytes.buffer);
  }
  function install(name, methods, sampleMethods) {
    var target = {};
    Object.keys(methods).forEach(function (m) {
      target[m] = function () { return call(name, m, methods[m], Array.prototype.slice.call(arguments)); };
    });
    sampleMethods.forEach(function (m) {
      target[m] = function () { return samples(name, m, Array.prototype.slice.call(arguments)); };
    });
    var object = new Proxy(target, {get: function (t, k) {
      if (k in t) return t[k];
      return typeof k === "string" ? function () { return ""; } : undefined;
    }});
    Object.defineProperty(window, name, {value: object, writable: true, configurable: true});
  }
)js";

// A script string literal; text that is not UTF-8 has its bad bytes replaced.
std::string Quote(const std::string& text)
{
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

std::string BridgeInstaller(const std::string& callURL, const std::string& dataURL,
                            const std::vector<BridgeObject>& bridges)
{
    std::string script = "(function () {\nvar callURL = " + Quote(callURL) + ";\nvar dataURL = " + Quote(dataURL) +
                         ";\nvar enc = " + kEncode + ";\nvar dec = " + kDecode + ";\n" + kInstaller;
    for (const BridgeObject& bridge : bridges) {
        nlohmann::json methods = nlohmann::json::object();
        for (const auto& [name, kind] : bridge.methods)
            methods[name] = kind == BridgeObject::Call::Queued;
        nlohmann::json sampleMethods = nlohmann::json::array();
        for (const std::string& name : bridge.sampleMethods)
            sampleMethods.push_back(name);
        script += "install(" + Quote(bridge.name) + ", " +
                  methods.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + ", " +
                  sampleMethods.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + ");\n";
    }
    return script + "})();";
}

std::string Evaluation(const std::string& script)
{
    return std::string("(function () { var enc = ") + kEncode + "; return JSON.stringify(enc((0, eval)(" +
           Quote(script) + "))); })()";
}

std::string WindowValue(const std::string& key, const std::string& wireJSON)
{
    return std::string("(function () { var dec = ") + kDecode + "; window[" + Quote(key) +
           "] = dec(" + wireJSON + "); })()";
}

namespace {

// The adopted sheet is known again by this custom property of its only rule, so that nothing
// is left on the page's window.
const char* const kAreaMark = "--host-area";

}  // namespace

std::string ShowAreaAtOrigin(double x, double y)
{
    const std::string mark = kAreaMark;
    return "(function () {\n"
           "  var left = -(scrollX + " + ScriptNumberText(x) + "), top = -(scrollY + " + ScriptNumberText(y) + ");\n"
           "  var sheet = new CSSStyleSheet();\n"
           "  sheet.replaceSync('html { " + mark + ": 1; transform-origin: 0 0 !important; ' +\n"
           "                    'transform: translate(' + left + 'px, ' + top + 'px) !important; }');\n"
           "  document.adoptedStyleSheets = document.adoptedStyleSheets.concat([sheet]);\n"
           "})()";
}

std::string EndShowArea()
{
    const std::string mark = kAreaMark;
    return "(function () {\n"
           "  document.adoptedStyleSheets = document.adoptedStyleSheets.filter(function (sheet) {\n"
           "    var rules = sheet.cssRules;\n"
           "    return !(rules.length === 1 && rules[0].style && rules[0].style.getPropertyValue('" + mark + "'));\n"
           "  });\n"
           "})()";
}

}  // namespace PageScripts
}  // namespace Web
