// scaling.js: the plot's two scales: value range, pixel mapping, tick layout, full-range
// limits and automatic scaling.
(function (lumo) {
  'use strict';

  lumo.def('Scale', null, {
    // axis 'x' or 'y'; index 0 or 1 in get_scales(); id kXScale or kYScale.
    init: function (plot, axis) {
      this.plot = plot;
      this.axis = axis;
      this.index = axis === 'x' ? 0 : 1;
      this.id = axis === 'x' ? lumo.kXScale : lumo.kYScale;
      this.min = 0; this.max = 1;
      this.full_min = null; this.full_max = null;
      this.origin = 0; this.length = 1;
      this.auto_timer = null;
    },
    is_vertical: function () { return this.axis === 'y'; },
    set_pixels: function (origin, length) { this.origin = origin; this.length = Math.max(1, length); },

    // pixel = (value - offset) * scaling, relative to the data area's left (x) or top (y) edge.
    get_offset: function () { return this.axis === 'x' ? this.min : this.max; },
    get_scaling: function () {
      var s = this.length / (this.max - this.min);
      return this.axis === 'x' ? s : -s;
    },
    to_pix: function (v) { return this.origin + (v - this.get_offset()) * this.get_scaling(); },
    from_pix: function (p) { return this.get_offset() + (p - this.origin) / this.get_scaling(); },
    scaling: function () {
      var self = this;
      return { get_offset: function () { return self.get_offset(); }, get_scaling: function () { return self.get_scaling(); } };
    },

    // Keeps a range inside the full range when one is given; returns [min, max].
    limit: function (min, max) {
      if (!(min < max)) return [this.min, this.max];
      var lo = this.full_min, hi = this.full_max;
      if (lumo.is_finite(lo) && lumo.is_finite(hi) && lo < hi) {
        var span = max - min;
        if (span >= hi - lo) return [lo, hi];
        if (min < lo) { min = lo; max = lo + span; }
        if (max > hi) { max = hi; min = hi - span; }
      }
      return [min, max];
    },
    // Sets the range; `report` says why: undefined (not reported), 'user' or 'auto'.
    set_range: function (min, max, report) {
      if (!(lumo.is_finite(min) && lumo.is_finite(max)) || !(min < max)) return false;
      var r = report ? this.limit(min, max) : [min, max];
      this.min = r[0]; this.max = r[1];
      if (report) this.plot.scaling_changed(this, report === 'auto');
      return true;
    },

    // Schedules an automatic scaling of this scale after 50 ms.
    auto_scale: function () {
      var self = this;
      lumo.cancel_timeout(this.auto_timer);
      this.auto_timer = lumo.timeout(function () {
        self.auto_timer = null;
        lumo.guard(self.plot, function () { self.auto_scale_now(); });
      }, 50);
    },
    // The data's range (y padded by 5 % each side), or null without data.
    auto_range: function () {
      var r = this.plot.data_range(this.axis);
      if (!r) return null;
      if (this.axis === 'y') {
        var pad = (r.max - r.min) * 0.05;
        r = { min: r.min - pad, max: r.max + pad };
      }
      return r;
    },
    auto_scale_now: function () {
      var r = this.auto_range();
      if (!r || !this.set_range(r.min, r.max, 'auto')) return false;
      this.plot.redraw();
      return true;
    },
    // Without a report to the host: the initial scaling of a setup.
    auto_scale_now_quiet: function () {
      var r = this.auto_range();
      return !!r && this.set_range(r.min, r.max);
    },

    // Tick layout: major ticks with labels and minor ticks, from the plot's properties.
    ticks: function (textWidth) {
      var p = this.plot.p;
      var span = this.max - this.min;
      var out = { major: [], minor: [], step: 0 };
      if (!(span > 0) || !isFinite(span)) return out;
      var vertical = this.is_vertical();
      var minTicks = vertical ? p.yscaleticksmin : p.xscaleticksmin;
      var labelWidth = textWidth || 40;
      var minPx = vertical ? p.fontsize * 2.4 + 4 : labelWidth + 12;
      var pxPerUnit = this.length / span;
      var step = lumo.tick_step(span, pxPerUnit, p.minticklabels, minPx, minTicks);
      out.step = step;
      var first = Math.ceil(this.min / step - 1e-9);
      var last = Math.floor(this.max / step + 1e-9);
      for (var i = first; i <= last && out.major.length < 1000; ++i) {
        out.major.push(i * step);
      }
      var threshold = p.minortickthreshold;
      if (threshold >= 0 && step * pxPerUnit >= threshold) {
        var mant = Math.round(step / Math.pow(10, Math.floor(Math.log(step) / Math.LN10 + 1e-9)));
        var minor = step / (mant === 2 ? 4 : 5);
        var mf = Math.ceil(this.min / minor - 1e-9), ml = Math.floor(this.max / minor + 1e-9);
        for (var j = mf; j <= ml && out.minor.length < 5000; ++j) {
          var v = j * minor;
          if (Math.abs(v / step - Math.round(v / step)) > 1e-6) out.minor.push(v);
        }
        out.minor_step = minor;
      }
      return out;
    },
    label: function (v, step) { return lumo.format_value(v, this.plot.p.scalesigfigs, step); }
  });

  // The tick step: the largest 1-2-5 step that still gives `minLabels` labels, but never one so
  // fine that labels closer than `minPx` pixels would crowd, nor finer than `minStep`.
  lumo.tick_step = function (span, pxPerUnit, minLabels, minPx, minStep) {
    var e = Math.floor(Math.log(span) / Math.LN10);
    var steps = [];
    for (var k = e - 12; k <= e + 1; ++k) {
      var b = Math.pow(10, k);
      steps.push(b, 2 * b, 5 * b);
    }
    var byCount = steps[0];
    var want = minLabels > 0 ? minLabels : 2;
    steps.forEach(function (s) { if (Math.floor(span / s + 1e-9) + 1 >= want) byCount = s; });
    var byPixels = steps[steps.length - 1];
    for (var i = 0; i < steps.length; ++i) {
      if (steps[i] * pxPerUnit >= minPx) { byPixels = steps[i]; break; }
    }
    var step = minLabels === -1 ? byPixels : Math.max(byCount, byPixels);
    if (minStep > 0 && step < minStep) {
      for (var j = 0; j < steps.length; ++j) if (steps[j] >= minStep) { step = steps[j]; break; }
    }
    return step;
  };
})(lumo);
