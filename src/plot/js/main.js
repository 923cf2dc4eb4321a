// main.js: the `lumo` namespace, its constants, the class and plotter-kind registries, the
// plot registry and the guarded bridge. Every other file only adds to `lumo`; classes are
// linked lazily because the page concatenates the files in a fixed order that does not follow
// their dependencies.
var lumo = (function (global) {
  'use strict';
  var lumo = {
    kBelowGraticule: 10, kGraticule: 20, kBelowData: 30, kData: 40,
    kBelowAnnotations: 150, kAnnotations: 160, kAboveAnnotation: 270,
    kLoadingThrobber: 500, kButtons: 501, kErrorMsg: 502,
    kXScale: 1, kYScale: 2,
    kSeekSet: -1, kSeekCur: 0,
    kClosedInterval: 0, kOpenInterval: 1,
    kLeft: 0, kCentre: 1, kRight: 2, kTop: 3, kMiddle: 4, kBottom: 5,
    // Bridge counts must stay below this (the host clamps to it as well).
    kMaxCount: 0x7ffffffe,
    // Columns of a printed trace to each pixel of the plot: 288 a inch at the plot's size,
    // more where the print shrinks it to the paper.
    kPrintColumnsPerPixel: 4,
    global: global
  };

  // ---- classes: lumo.def(name, base, methods); lumo.cls(name) links on first use ----
  var defs = {};
  var linked = {};
  lumo.def = function (name, base, methods) {
    defs[name] = { base: base, methods: methods };
    delete linked[name];
    return name;
  };
  lumo.cls = function (name) {
    if (linked[name]) return linked[name];
    var d = defs[name];
    if (!d) throw new Error('lumo: no class ' + name);
    var ctor = function () {
      if (this.init) this.init.apply(this, arguments);
    };
    if (d.base) ctor.prototype = Object.create(lumo.cls(d.base).prototype);
    Object.keys(d.methods).forEach(function (k) { ctor.prototype[k] = d.methods[k]; });
    ctor.prototype.constructor = ctor;
    ctor.prototype.class_name = name;
    ctor.base = d.base ? lumo.cls(d.base).prototype : null;
    linked[name] = ctor;
    return ctor;
  };
  lumo.make = function (name) {
    var C = lumo.cls(name);
    var obj = Object.create(C.prototype);
    C.apply(obj, Array.prototype.slice.call(arguments, 1));
    return obj;
  };

  // ---- plotter kinds: each class registered under its names ----
  var kinds = {};
  lumo.register_plotter = function (names, className) {
    names.forEach(function (n) { kinds[n] = className; });
  };
  lumo.plotter_class = function (kind) {
    return Object.prototype.hasOwnProperty.call(kinds, kind) ? kinds[kind] : undefined;
  };
  lumo.is_plotter_kind = function (kind) { return lumo.plotter_class(kind) !== undefined; };

  // ---- plots by id ----
  var plots = {};
  lumo.make_plot = function (id, markup) {
    // A plot made again in the same element replaces the earlier one and its layers.
    if (lumo.get_plot(id)) lumo.get_plot(id).destroy();
    var plot = lumo.make('Plot', id);
    plots[id] = plot;
    if (markup !== undefined && markup !== null) plot.set_markup(markup);
    return plot;
  };
  lumo.get_plot = function (id) {
    return Object.prototype.hasOwnProperty.call(plots, id) ? plots[id] : undefined;
  };

  // ---- plotter ids: "plotter-N", N a running number of the page that skips ids in use ----
  var nextPlotterNumber = 0;
  lumo.new_plotter_id = function (inUse) {
    for (;;) {
      var id = 'plotter-' + nextPlotterNumber++;
      if (!inUse(id)) return id;
    }
  };

  // ---- the bridge: every call guarded, so a method the host lacks answers "" ----
  lumo.proxy = function () {
    if (global.lumo_proxy) return global.lumo_proxy;
    if (lumo.use_fake_proxy && lumo.FakeProxy) {
      global.lumo_proxy = new lumo.FakeProxy();
      return global.lumo_proxy;
    }
    return null;
  };
  lumo.remote = function (name) {
    var p = lumo.proxy();
    if (!p || typeof p[name] !== 'function') return '';
    var args = Array.prototype.slice.call(arguments, 1);
    try {
      var r = p[name].apply(p, args);
      return r === undefined || r === null ? '' : r;
    } catch (e) {
      lumo.log('bridge call ' + name + ' failed: ' + e);
      return '';
    }
  };
  lumo.host_has_data = function () {
    var r = lumo.remote('HasData');
    return r === true || r === 1 || (typeof r === 'string' && r.toUpperCase() === 'YES');
  };

  lumo.log = function (msg) {
    if (global.console && global.console.log) global.console.log('lumo: ' + msg);
  };

  // The page must never stop on a script error: entry points run through here and route
  // failures to the plot's error display.
  lumo.guard = function (plot, fn) {
    try {
      return fn();
    } catch (e) {
      lumo.log((e && e.stack) || e);
      if (plot && plot.show_error) {
        try { plot.show_error(lumo.escape_html(String((e && e.message) || e))); } catch (e2) { /* nothing more to do */ }
      }
      return undefined;
    }
  };
  lumo.has_dom = function () {
    return typeof global.document !== 'undefined' && typeof global.jQuery !== 'undefined';
  };
  return lumo;
})(typeof window !== 'undefined' ? window : this);
