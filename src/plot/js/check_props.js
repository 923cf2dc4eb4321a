// check_props.js: property tables and their checks. A property that is absent takes its
// default silently; one of the wrong kind takes its default and is reported to the host
// through BadPlotterProperty (which shows the message in the plot).
(function (lumo) {
  'use strict';

  // Checkers: each answers whether a value fits, and the `expected` text reported otherwise.
  var kinds = {
    colour: { ok: function (v) { return v instanceof lumo.Colour; }, text: 'colour' },
    string: { ok: function (v) { return typeof v === 'string'; }, text: 'string' },
    number: { ok: function (v) { return lumo.is_number(v); }, text: 'number' },
    boolean: { ok: function (v) { return typeof v === 'boolean'; }, text: 'boolean' },
    interval: { ok: function (v) { return v instanceof lumo.PixInterval && v.is_valid(); }, text: 'interval' },
    array: { ok: function (v) { return v instanceof lumo.PixArray || Array.isArray(v); }, text: 'array' },
    generator: { ok: function (v) { return v instanceof lumo.PixEnum; }, text: 'generator' },
    data: {
      ok: function (v) {
        return (v instanceof lumo.PixInterval && v.is_valid()) || v instanceof lumo.PixArray ||
          (v instanceof lumo.PixEnum && v.interval.is_valid());
      },
      text: 'interval, array, or generator'
    },
    object: { ok: function (v) { return v !== null && typeof v === 'object' && !Array.isArray(v); }, text: 'object' }
  };

  // Property spec: [kind, default, options]; options.min makes "number greater than min" or, with
  // options.integer, "integer greater than min"; options.nullable accepts null.
  lumo.prop = function (kind, dflt, options) {
    var o = options || {};
    return { kind: kind, dflt: dflt, min: o.min, integer: !!o.integer, nullable: !!o.nullable };
  };

  function fits(spec, v) {
    if (v === null && (spec.nullable || spec.dflt === null)) return true;
    if (spec.integer) {
      if (!(lumo.is_finite(v) && Math.floor(v) === v)) return false;
    } else if (!kinds[spec.kind].ok(v)) {
      return false;
    }
    return spec.min === undefined || v >= spec.min;
  }
  function expected_text(spec) {
    if (spec.min !== undefined) return (spec.integer ? 'integer' : 'number') + ' greater than ' + spec.min;
    if (spec.integer) return 'integer';
    return kinds[spec.kind].text;
  }
  lumo.expected_text = expected_text;

  // Checks `settings` against `table`; returns the checked values. Reports every misfit.
  lumo.check_props = function (plotId, owner, table, settings) {
    var out = {};
    settings = settings || {};
    Object.keys(table).forEach(function (name) {
      var spec = table[name];
      var has = Object.prototype.hasOwnProperty.call(settings, name) && settings[name] !== undefined;
      if (!has) { out[name] = spec.dflt; return; }
      var v = settings[name];
      if (fits(spec, v)) { out[name] = v; return; }
      out[name] = spec.dflt;
      lumo.remote('BadPlotterProperty', String(plotId), String(owner), name, expected_text(spec),
        spec.dflt === undefined ? '' : lumo.value_markup(spec.dflt));
    });
    return out;
  };

  // Owner name reported for a collection: its id, else "unnamed plot" or "unnamed KIND plotter".
  lumo.owner_name = function (settings, kind) {
    if (settings && typeof settings.id === 'string' && settings.id !== '') return settings.id;
    return kind ? 'unnamed ' + kind + ' plotter' : 'unnamed plot';
  };

  var num = function (d, min) { return lumo.prop('number', d, { min: min }); };
  var int = function (d, min) { return lumo.prop('number', d, { min: min, integer: true }); };
  var bool = function (d) { return lumo.prop('boolean', d); };
  var nnum = function () { return lumo.prop('number', null, { nullable: true }); };
  lumo.props = { num: num, int: int, bool: bool, nnum: nnum };

  // The plot's own properties and their defaults.
  lumo.plot_props = function () {
    return {
      rightmargin: num(3), topmargin: num(3),
      xscaleheight: num(75, 0), yscalewidth: num(75, 0),
      background: lumo.prop('colour', new lumo.Colour(255, 255, 255, 255)),
      fontfamily: lumo.prop('string', 'Segoe UI, Tahoma, sans-serif'),
      fontsize: num(9, 0), canvas_fontsize: num(8, 0), labelsize: num(10, 0),
      shadow: bool(true), axesshadow: bool(false),
      minticklabels: int(7, -1),
      majorticksize: num(4), minorticksize: num(2),
      yscaleticksmin: num(0, 0), xscaleticksmin: num(0, 0),
      yscalemin: nnum(), yscalemax: nnum(), xscalemin: nnum(), xscalemax: nnum(),
      fullrange_yscalemin: nnum(), fullrange_yscalemax: nnum(),
      fullrange_xscalemin: nnum(), fullrange_xscalemax: nnum(),
      do_initial_autoscale_x: bool(false), do_initial_autoscale_y: bool(false),
      title: lumo.prop('string', null, { nullable: true }),
      xlabel: lumo.prop('string', ''), ylabel: lumo.prop('string', ''),
      show_x_scale_labels: bool(true), show_y_scale_labels: bool(true),
      minortickthreshold: int(60, -1),
      throbberdelay: int(350, -1),
      scalesigfigs: int(4, 0),
      hidewhiledrawing: bool(false), throttleredraws: bool(true),
      showzoombuttons: bool(true), showmenubutton: bool(true),
      label_each_minor_x_tick: bool(false), label_each_minor_y_tick: bool(false),
      use_js_fake_proxy: bool(false)
    };
  };
})(lumo);
