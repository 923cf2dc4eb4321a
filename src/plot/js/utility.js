// utility.js: small DOM-free helpers shared by the library: number formatting, escaping,
// object merging and binary search.
(function (lumo) {
  'use strict';

  lumo.is_number = function (v) { return typeof v === 'number' && !isNaN(v); };
  lumo.is_finite = function (v) { return typeof v === 'number' && isFinite(v); };
  lumo.clamp = function (v, lo, hi) { return v < lo ? lo : (v > hi ? hi : v); };

  lumo.escape_html = function (s) {
    return String(s).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;')
      .replace(/"/g, '&quot;').replace(/'/g, '&#39;');
  };
  lumo.escape_xml = lumo.escape_html;

  // Plain decimal text of v with at most `decimals` fraction digits: never an exponent, NaN or
  // Infinity (the printable SVG reader accepts plain numbers only).
  lumo.plain_number = function (v, decimals) {
    if (!isFinite(v)) v = 0;
    if (decimals === undefined) decimals = 2;
    v = lumo.clamp(v, -1e9, 1e9);
    var s = v.toFixed(decimals);
    if (s.indexOf('.') >= 0) s = s.replace(/0+$/, '').replace(/\.$/, '');
    if (s === '-0') s = '0';
    return s;
  };

  // Label text of a value: rounded to `sigfigs` significant figures and to the decimals that
  // the tick step needs, written without an exponent for ordinary magnitudes.
  lumo.format_value = function (v, sigfigs, step) {
    if (!isFinite(v)) return '';
    // A tick at i x step that rounding moved off zero is zero.
    if (v === 0 || (step > 0 && Math.abs(v) < step * 1e-9)) return '0';
    var mag = Math.floor(Math.log(Math.abs(v)) / Math.LN10);
    var decimals = Math.max(0, (sigfigs || 4) - 1 - mag);
    if (step > 0 && isFinite(step)) {
      var stepDecimals = Math.max(0, -Math.floor(Math.log(step) / Math.LN10 + 1e-9));
      // A finer step than the significant figures allow still needs its own digits.
      decimals = Math.max(Math.min(decimals, stepDecimals), Math.min(stepDecimals, 12));
    }
    if (Math.abs(v) >= 1e15 || (Math.abs(v) < 1e-12)) return v.toPrecision(sigfigs || 4);
    decimals = Math.min(decimals, 15);
    var s = v.toFixed(decimals);
    if (s.indexOf('.') >= 0) s = s.replace(/0+$/, '').replace(/\.$/, '');
    return s === '-0' ? '0' : s;
  };

  // Replaces {0}, {1}, ... in a readout template.
  lumo.format_template = function (template, values) {
    return String(template).replace(/\{(\d+)\}/g, function (m, n) {
      var v = values[+n];
      return v === undefined ? m : String(v);
    });
  };

  lumo.merge = function () {
    var out = {};
    for (var i = 0; i < arguments.length; ++i) {
      var src = arguments[i];
      if (src && typeof src === 'object') {
        Object.keys(src).forEach(function (k) { out[k] = src[k]; });
      }
    }
    return out;
  };

  // First index whose value is >= x in an ascending array-like (NaN entries compare as less).
  lumo.lower_bound = function (arr, x, lo, hi) {
    lo = lo || 0;
    hi = hi === undefined ? arr.length : hi;
    while (lo < hi) {
      var mid = (lo + hi) >>> 1;
      if (arr[mid] < x || arr[mid] !== arr[mid]) lo = mid + 1; else hi = mid;
    }
    return lo;
  };

  lumo.now = function () {
    var g = lumo.global;
    return g.performance && g.performance.now ? g.performance.now() : Date.now();
  };

  lumo.timeout = function (fn, ms) {
    var g = lumo.global;
    return (g.setTimeout || setTimeout)(fn, ms);
  };
  lumo.cancel_timeout = function (t) {
    var g = lumo.global;
    if (t !== null && t !== undefined) (g.clearTimeout || clearTimeout)(t);
  };
})(lumo);
