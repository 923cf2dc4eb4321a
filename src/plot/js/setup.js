// setup.js: turning the setup literal (an array of {property_name, markup} records) into the
// plot's shared properties and its plotters, and mapping tagged settings to source objects.
(function (lumo) {
  'use strict';

  function is_colour_array(a) {
    return a.length > 0 && a.every(function (v) { return v instanceof lumo.Colour; });
  }
  // Settings that stay plain arrays whatever they hold.
  var keepArrays = { legend: { '*': true }, bar: { titles: true, xlabels: true } };

  // One tagged setting to its object: intervals, generators, text generators, arrays.
  lumo.map_setting = function (value, kind, name) {
    if (!Array.isArray(value)) return value;
    var tag = value[0];
    if (tag === 'interval' && value.length === 5) {
      return new lumo.PixInterval(value[1], value[2], value[3], value[4]);
    }
    if (tag === 'interval') return new lumo.PixInterval(NaN, NaN, NaN); // malformed: fails its check
    if (tag === 'generator' && value.length === 3) {
      var iv = lumo.map_setting(value[2]);
      return new lumo.PixEnum(value[1], iv instanceof lumo.PixInterval ? iv : new lumo.PixInterval(NaN, NaN, NaN), false);
    }
    if (tag === 'text_generator' && value.length === 3) {
      return new lumo.PixEnum(value[1], new lumo.PixInterval(0, 1, null, lumo.kClosedInterval), true);
    }
    var keep = keepArrays[kind];
    if (keep && (keep['*'] || keep[name])) return value.slice();
    if (is_colour_array(value)) return value.slice();
    if (value.length > 0 && value.every(Array.isArray)) {
      return value.map(function (v) { return lumo.map_setting(v, kind, name); });
    }
    return new lumo.PixArray(value);
  };

  lumo.map_settings = function (settings, kind) {
    if (settings && settings.interactive === true) return settings;
    var out = {};
    Object.keys(settings || {}).forEach(function (k) { out[k] = lumo.map_setting(settings[k], kind, k); });
    return out;
  };

  function is_record(r) { return r !== null && typeof r === 'object' && !Array.isArray(r); }
  function has_name(r) { return typeof r.property_name === 'string'; }

  // First pass: the shared properties of the literal.
  lumo.shared_properties = function (literal) {
    var shared = {};
    literal.forEach(function (r) {
      if (!is_record(r)) return;
      if (!has_name(r)) {
        Object.keys(r).forEach(function (k) { shared[k] = r[k]; });
      } else if (!lumo.is_plotter_kind(r.property_name)) {
        shared[r.property_name] = r.markup;
      }
    });
    return shared;
  };

  // Second pass: the plotter records, as {kind, settings}, and whether a graticule was given.
  lumo.plotter_records = function (literal, shared) {
    var out = { plotters: [], graticule_given: false, errors: [] };
    literal.forEach(function (r) {
      if (!is_record(r) || !has_name(r) || !lumo.is_plotter_kind(r.property_name)) return;
      var kind = r.property_name;
      var isGrat = lumo.plotter_class(kind) === lumo.plotter_class('grat');
      if (isGrat) out.graticule_given = true;
      if (r.markup === null || r.markup === undefined) {
        if (isGrat) return;
        out.plotters.push({ kind: kind, settings: lumo.merge(shared) });
        return;
      }
      if (!is_record(r.markup)) {
        out.errors.push('The <em>' + lumo.escape_html(kind) + '</em> plotter must be described by an object.');
        return;
      }
      out.plotters.push({ kind: kind, settings: lumo.merge(shared, r.markup) });
    });
    return out;
  };
})(lumo);
