// types.js: the value types the setup literal constructs: colours, intervals and arrays.
(function (lumo) {
  'use strict';

  function byte(v) {
    v = Math.round(+v);
    return isFinite(v) ? lumo.clamp(v, 0, 255) : 0;
  }
  function hex2(v) { return (v < 16 ? '0' : '') + v.toString(16); }

  // Colour with components 0 to 255 (alpha too).
  lumo.Colour = function (r, g, b, a) {
    if (!(this instanceof lumo.Colour)) return new lumo.Colour(r, g, b, a);
    this.r = byte(r); this.g = byte(g); this.b = byte(b);
    this.a = a === undefined ? 255 : byte(a);
  };
  lumo.Colour.prototype.hex = function () { return '#' + hex2(this.r) + hex2(this.g) + hex2(this.b); };
  lumo.Colour.prototype.alpha = function () { return this.a / 255; };
  // CSS and printable SVG form: #rrggbb when opaque, else rgba(r,g,b,a) without blanks.
  lumo.Colour.prototype.css = function () {
    if (this.a === 255) return this.hex();
    return 'rgba(' + this.r + ',' + this.g + ',' + this.b + ',' + lumo.plain_number(this.a / 255, 3) + ')';
  };
  lumo.Colour.prototype.markup = function () { return this.hex() + hex2(this.a); };
  lumo.Colour.prototype.with_alpha = function (a) { return new lumo.Colour(this.r, this.g, this.b, a * 255); };
  lumo.colour = function (v, fallback) {
    return v instanceof lumo.Colour ? v : (fallback || new lumo.Colour(0, 0, 0, 255));
  };
  lumo.colours = {
    white: new lumo.Colour(255, 255, 255, 255),
    black: new lumo.Colour(0, 0, 0, 255)
  };
  // Distinct trace colours for plotters that name none.
  lumo.palette = [[31, 119, 180], [214, 39, 40], [44, 160, 44], [255, 127, 14], [148, 103, 189],
    [140, 86, 75], [227, 119, 194], [23, 190, 207]].map(function (c) { return new lumo.Colour(c[0], c[1], c[2], 255); });

  // Interval of a sampled range: begin (null for the 'begin' keyword), step, end (null for 'end').
  lumo.PixInterval = function (begin, step, end, type) {
    if (!(this instanceof lumo.PixInterval)) return new lumo.PixInterval(begin, step, end, type);
    this.begin = begin === undefined ? null : begin;
    this.step = step;
    this.end = end === undefined ? null : end;
    this.type = type === lumo.kOpenInterval ? lumo.kOpenInterval : lumo.kClosedInterval;
  };
  lumo.PixInterval.prototype.is_valid = function () {
    return (this.begin === null || lumo.is_finite(this.begin)) &&
      lumo.is_finite(this.step) && this.step > 0 &&
      (this.end === null || lumo.is_finite(this.end));
  };
  // The value of sample k (0-based) when the first sample sits at `first`.
  lumo.PixInterval.prototype.value_at = function (k, first) {
    return (this.begin === null ? (first || 0) : this.begin) + k * this.step;
  };
  // Number of samples of a finite interval (closed includes the end).
  lumo.PixInterval.prototype.finite_count = function () {
    if (this.begin === null || this.end === null) return Infinity;
    var span = (this.end - this.begin) / this.step;
    if (span < 0) return 0;
    var n = this.type === lumo.kOpenInterval ? Math.ceil(span - 1e-9) : Math.floor(span + 1e-9) + 1;
    return Math.max(0, n);
  };
  lumo.PixInterval.prototype.markup = function () {
    return '[' + (this.begin === null ? 'begin' : this.begin) + ':' + this.step + ':' +
      (this.end === null ? 'end' : this.end) + (this.type === lumo.kOpenInterval ? ')' : ']');
  };

  // A plain array of values given in markup.
  lumo.PixArray = function (array) {
    if (!(this instanceof lumo.PixArray)) return new lumo.PixArray(array);
    this.values = Array.prototype.slice.call(array || []);
  };
  lumo.PixArray.prototype.numbers = function () {
    return this.values.map(function (v) { return typeof v === 'number' ? v : NaN; });
  };
  lumo.PixArray.prototype.markup = function () {
    return '[' + this.values.map(function (v) { return lumo.value_markup(v); }).join(', ') + ']';
  };

  // Markup text of a value, as BadPlotterProperty reports a default.
  lumo.value_markup = function (v) {
    if (v === null || v === undefined) return 'null';
    if (typeof v === 'string') return "'" + v.replace(/'/g, "\\'") + "'";
    if (typeof v === 'number' || typeof v === 'boolean') return String(v);
    if (v.markup) return v.markup();
    if (Array.isArray(v)) return '[' + v.map(lumo.value_markup).join(', ') + ']';
    return '';
  };
})(lumo);
