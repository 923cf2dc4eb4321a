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

// The adopted sheet is known again by this custom property of its rule for the document, which
// holds the scroll to go back to, so that nothing is left on the page's window. Attributes mark
// what the area's script left out, the cells it keeps at their width (by the rule of their
// number in its sheet), the boxes it put in place of what it left out above and the boxes whose
// edges at a printed part's ends it takes away.
const char* const kAreaMarks =
    "'--host-area', 'data-host-area-hidden', 'data-host-area-width', 'data-host-area-spacer', 'data-host-area-flat'";

// Blocks and table rows wholly above or below the area are left out, so that printing lays out
// only what the area shows (a long report's every row took gigabytes). Those above give way to
// one empty box of their height, so that what is placed against the document stays where it
// was; a table that loses rows keeps the widths its kept cells have.
const char* const kShowArea = R"((function (x, y, height, mark, hidden, width, spacer) {
  var top = scrollY + y, bottom = top + height, scrollTop = scrollY, scrollLeft = scrollX;
  var prunable = /^(block|flow-root|list-item|table|table-row|table-row-group|table-(header|footer)-group)$/;
  var gone = [], runs = [], kept = [], anchor = null;
  function box(e) {
    var r = e.getBoundingClientRect();
    return { top: r.top + scrollY, bottom: r.bottom + scrollY };
  }
  function prune(parent) {
    var first = null, last = null;
    for (var e = parent.firstElementChild; e; e = e.nextElementSibling) {
      var style = getComputedStyle(e);
      if (!prunable.test(style.display) || style.position === 'absolute' || style.position === 'fixed')
        continue;
      var b = box(e), row = style.display === 'table-row';
      if (b.bottom <= top) { gone.push(e); first = first || e; last = e; continue; }
      if (b.top >= bottom) { gone.push(e); continue; }
      if (row) kept.push(e);
      if (row || (b.top >= top && b.bottom <= bottom)) anchor = anchor || e; else prune(e);
    }
    if (first) runs.push({ first: first, height: box(last).bottom - box(first).top });
  }
  function spacerFor(run) {
    var display = getComputedStyle(run.first).display, holder, cell;
    if (/^table-/.test(display)) {
      holder = document.createElement(display === 'table-row' ? 'tr' : 'tbody');
      var row = display === 'table-row' ? holder : holder.appendChild(document.createElement('tr'));
      cell = row.appendChild(document.createElement('td'));
      cell.style.cssText = 'padding: 0; border: 0; box-sizing: border-box';
    } else {
      holder = cell = document.createElement('div');
      cell.style.cssText = 'display: block; margin: 0; padding: 0; border: 0';
    }
    holder.setAttribute(spacer, '');
    cell.style.height = run.height + 'px';
    run.first.parentNode.insertBefore(holder, run.first);
    return cell;
  }
  prune(document.documentElement);
  var before = anchor ? box(anchor).top : top, widths = '', cells = 0;
  kept.filter(function (row) {
    return gone.some(function (e) { return e.closest('table') === row.closest('table'); });
  }).forEach(function (row) {
    Array.prototype.forEach.call(row.cells, function (cell) {
      var size = cell.getBoundingClientRect().width + 'px !important; ', key = String(cells++);
      cell.setAttribute(width, key);
      widths += '[' + width + '="' + key + '"] { box-sizing: border-box !important; width: ' + size +
                'min-width: ' + size + 'max-width: ' + size + '} ';
    });
  });
  var spacers = runs.map(spacerFor);
  gone.forEach(function (e) { e.setAttribute(hidden, ''); });
  var sheet = new CSSStyleSheet();
  sheet.replaceSync('html { ' + mark + ': ' + scrollLeft + ' ' + scrollTop + '; transform-origin: 0 0 !important; } ' +
                    '[' + hidden + '] { display: none !important; } ' + widths);
  document.adoptedStyleSheets = document.adoptedStyleSheets.concat([sheet]);
  if (spacers.length > 0 && anchor) {
    var nearest = spacers[spacers.length - 1];
    nearest.style.height = Math.max(0, parseFloat(nearest.style.height) - (box(anchor).top - before)) + 'px';
  }
  var moved = top + (anchor ? box(anchor).top - before : 0);
  sheet.insertRule('html { transform: translate(' + -(scrollLeft + x) + 'px, ' + -moved + 'px) !important; }',
                   sheet.cssRules.length);
}))";

// Takes away what the area's or a part's script did to the page: the scroll it kept, if any.
const char* const kUndoShowArea = R"(function undoShowArea(mark, hidden, width, spacer, flat) {
  var scroll = null;
  document.querySelectorAll('[' + spacer + ']').forEach(function (e) { e.remove(); });
  document.adoptedStyleSheets = document.adoptedStyleSheets.filter(function (sheet) {
    var rules = sheet.cssRules, value = rules.length > 0 && rules[0].style && rules[0].style.getPropertyValue(mark);
    if (value) scroll = value.trim().split(/\s+/).map(Number);
    return !value;
  });
  [hidden, width, flat].forEach(function (name) {
    document.querySelectorAll('[' + name + ']').forEach(function (e) { e.removeAttribute(name); });
  });
  return scroll;
})";

// The table with the most body rows, with column titles, and those rows; a page's long table.
const char* const kLongTable = R"(function longTable() {
  var best = null, rows = [];
  document.querySelectorAll('table').forEach(function (table) {
    var own = [];
    if (!table.tHead) return;
    Array.prototype.forEach.call(table.tBodies, function (body) {
      Array.prototype.forEach.call(body.rows, function (row) { own.push(row); });
    });
    if (own.length > rows.length) { best = table; rows = own; }
  });
  return { table: best, rows: rows };
})";

// Laid out as printed, on pages of that height: the long table's rows that start its pages after
// the first (a row that does not fit goes on to the next page, under the column titles again),
// and the widths of its title cells.
const char* const kPrintedPages = R"((function (height) {
  var long = longTable(), starts = [], pageTop = 0, reserved = 0;
  if (!long.table) return { rows: 0, starts: starts, widths: [] };
  var head = long.table.tHead.getBoundingClientRect().height;
  long.rows.forEach(function (row, i) {
    var r = row.getBoundingClientRect();
    if (i > 0 && r.bottom + scrollY - pageTop + reserved > height + 0.01) {
      starts.push(i);
      pageTop = r.top + scrollY;
      reserved = head;
    }
  });
  var widths = Array.prototype.map.call(long.table.tHead.querySelectorAll('th, td'), function (cell) {
    return cell.getBoundingClientRect().width;
  });
  return { rows: long.rows.length, starts: starts, widths: widths };
}))";

// Only the long table's rows from first to end are printed, its title cells at the widths of
// the whole print. What comes before the table goes when the part does not start the page, and
// the table and the boxes around it lose their edges there, as on a page the whole print
// continues onto; likewise after the table when the part does not end it.
// A part follows the last one without the page being laid out whole between them.
const char* const kShowRows = R"((function (first, end, widths, mark, hidden, width, spacer, flat) {
  var scroll = undoShowArea(mark, hidden, width, spacer, flat) || [scrollX, scrollY];
  var long = longTable(), rules = '', keys = 0;
  long.rows.forEach(function (row, i) { if (i < first || i >= end) row.setAttribute(hidden, ''); });
  for (var e = long.table; e !== document.documentElement; e = e.parentElement) {
    e.setAttribute(flat, '');
    for (var s = e.parentElement.firstElementChild; s; s = s.nextElementSibling) {
      var before = (s.compareDocumentPosition(e) & Node.DOCUMENT_POSITION_FOLLOWING) !== 0;
      if (s !== e && (before ? first > 0 : end < long.rows.length)) s.setAttribute(hidden, '');
    }
  }
  document.documentElement.setAttribute(flat, '');
  ['top', 'bottom'].forEach(function (side, i) {
    if (i === 0 ? first > 0 : end < long.rows.length)
      rules += '[' + flat + '] { margin-' + side + ': 0 !important; padding-' + side + ': 0 !important; border-' +
               side + '-width: 0 !important; } ';
  });
  long.table.tHead.querySelectorAll('th, td').forEach(function (cell, i) {
    var size = widths[i] + 'px !important; ', key = String(keys++);
    cell.setAttribute(width, key);
    rules += '[' + width + '="' + key + '"] { box-sizing: border-box !important; width: ' + size + 'min-width: ' +
             size + 'max-width: ' + size + '} ';
  });
  var sheet = new CSSStyleSheet();
  sheet.replaceSync('html { ' + mark + ': ' + scroll[0] + ' ' + scroll[1] + '; } [' + hidden +
                    '] { display: none !important; } ' + rules);
  document.adoptedStyleSheets = document.adoptedStyleSheets.concat([sheet]);
}))";

}  // namespace

std::string LongTableRows() { return "(" + std::string(kLongTable) + ")().rows.length"; }

std::string PrintedPages(double height)
{
    return "(function () { " + std::string(kLongTable) + "\nreturn " + kPrintedPages + "(" +
           ScriptNumberText(height) + "); })()";
}

std::string ShowRows(long first, long end, const std::vector<double>& widths)
{
    return "(function () { " + std::string(kLongTable) + "\n" + kUndoShowArea + "\nreturn " + kShowRows + "(" +
           std::to_string(first) +
           ", " + std::to_string(end) + ", " + nlohmann::json(widths).dump() + ", " + kAreaMarks + "); })()";
}

std::string ShowAreaAtOrigin(double x, double y, double height)
{
    return std::string(kShowArea) + "(" + ScriptNumberText(x) + ", " + ScriptNumberText(y) + ", " +
           ScriptNumberText(height) + ", " + kAreaMarks + ")";
}

std::string EndShowArea()
{
    return "(function () { " + std::string(kUndoShowArea) + "\nvar scroll = undoShowArea(" + kAreaMarks +
           ");\nif (scroll) scrollTo(scroll[0], scroll[1]); })()";
}

}  // namespace PageScripts
}  // namespace Web
