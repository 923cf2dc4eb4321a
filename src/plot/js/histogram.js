// histogram.js: counts of the values of a data source in equal bins, drawn as bars.
(function (lumo) {
  'use strict';


  lumo.def('Histogram', 'Plotter', {
    default_z: lumo.kData,
    own_props: function () {
      return {
        data: lumo.prop('data', null, { nullable: true }),
        bins: lumo.props.int(20, 1),
        binmin: lumo.props.nnum(), binmax: lumo.props.nnum(),
        fill: lumo.prop('colour', null, { nullable: true })
      };
    },
    is_data: function () { return true; },
    values: function () {
      var d = this.p.data;
      if (!d) return [];
      var s = lumo.series(d, { all: true }, 1);
      var out = [];
      for (var i = 0; i < s.length && i < 1e7; ++i) {
        var v = lumo.series_at(s, i);
        if (typeof v === 'number' && isFinite(v)) out.push(v);
      }
      return out;
    },
    // Bin edges and counts; values outside the bins are not counted.
    bins: function () {
      var vals = this.values();
      var lo = this.p.binmin, hi = this.p.binmax;
      if (lo === null || hi === null) {
        var mn = Infinity, mx = -Infinity;
        vals.forEach(function (v) { if (v < mn) mn = v; if (v > mx) mx = v; });
        if (lo === null) lo = mn;
        if (hi === null) hi = mx;
      }
      if (!(lo < hi)) { if (lo === hi && isFinite(lo)) { lo -= 0.5; hi += 0.5; } else return null; }
      var n = this.p.bins, w = (hi - lo) / n;
      var counts = new Array(n).fill(0);
      vals.forEach(function (v) {
        if (v < lo || v > hi) return;
        counts[Math.min(n - 1, Math.floor((v - lo) / w))]++;
      });
      return { lo: lo, hi: hi, width: w, counts: counts };
    },
    data_changed: function (first, count) {
      if (this.p.data instanceof lumo.PixEnum) this.p.data.invalidate(first, count);
    },
    data_range: function (axis) {
      var b = this.bins();
      if (!b) return null;
      return axis === 'x' ? { min: b.lo, max: b.hi } : { min: 0, max: Math.max.apply(null, b.counts.concat([1])) };
    },
    draw: function (painter) {
      var b = this.bins();
      if (!b) return;
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var fill = this.p.fill || this.p.colour.with_alpha(0.45);
      var y0 = ys.to_pix(0);
      for (var i = 0; i < b.counts.length; ++i) {
        if (!b.counts[i]) continue;
        var x0 = xs.to_pix(b.lo + i * b.width), x1 = xs.to_pix(b.lo + (i + 1) * b.width);
        var y1 = ys.to_pix(b.counts[i]);
        painter.rect(x0, y1, x1 - x0, y0 - y1, { fill: fill, stroke: this.p.colour, width: this.p.linewidth });
      }
    }
  });
  lumo.register_plotter(['histogram', 'hist'], 'Histogram');
})(lumo);
