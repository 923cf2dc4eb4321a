// scatter.js: x-y plots: points joined in data order (show_lines) and/or markers
// (show_points); the cursor snaps to the nearest point and reads out {0} = x, {1} = y.
(function (lumo) {
  'use strict';

  lumo.def('Scatter', 'DataPlotter', {
    by_x_only: false,
    own_props: function () {
      var t = lumo.cls('DataPlotter').prototype.own_props.call(this);
      t.show_points = lumo.props.bool(true);
      t.show_lines = lumo.props.bool(false);
      t.xdata = lumo.prop('data', null, { nullable: true });
      return t;
    },
    // Both series of a scatter plot are read whole: their length does not follow the x scale.
    y_series: function () {
      var yd = this.p.ydata;
      if (!yd) return { length: 0, values: [] };
      var s = lumo.series(yd, { all: true }, 1);
      if (yd instanceof lumo.PixEnum && yd.bad_answer && !this.plot.in_error) this.plot.show_error(lumo.escape_html(yd.bad_answer));
      return s;
    },
    x_series: function (n) {
      var xd = this.p.xdata;
      if (!xd) return { length: n, uniform: { first: 0, step: 1 } };
      if (xd instanceof lumo.PixInterval) return { length: n, uniform: { first: xd.begin === null ? 0 : xd.begin, step: xd.step } };
      return lumo.series(xd, { all: true }, 1);
    },
    visible_range: function (d) { return [0, d.n - 1]; },
    data_range: function (axis) {
      var d = this.data();
      var lo = Infinity, hi = -Infinity;
      for (var i = 0; i < d.n; ++i) {
        var x = d.xAt(i), y = d.ys[i];
        if (!isFinite(x) || typeof y !== 'number' || !isFinite(y)) continue;
        var v = axis === 'x' ? x : y;
        if (v < lo) lo = v;
        if (v > hi) hi = v;
      }
      return lo <= hi ? { min: lo, max: hi } : null;
    },
    draw: function (painter) {
      var d = this.data();
      if (d.n === 0) return;
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      if (this.p.show_lines) {
        var segs = [], seg = [];
        var lim = 1e6;
        for (var i = 0; i < d.n; ++i) {
          var x = d.xAt(i), y = d.ys[i];
          var px = xs.to_pix(x), py = ys.to_pix(y);
          if (typeof y !== 'number' || !isFinite(px) || !isFinite(py) || Math.abs(px) > lim || Math.abs(py) > lim) {
            if (seg.length >= 4) segs.push(seg);
            seg = [];
            continue;
          }
          var n = seg.length;
          // Consecutive points within a tenth of a pixel add nothing to the line.
          if (n >= 2 && Math.abs(seg[n - 2] - px) < 0.1 && Math.abs(seg[n - 1] - py) < 0.1) continue;
          seg.push(px, py);
        }
        if (seg.length >= 4) segs.push(seg);
        painter.polyline(segs, this.style());
      }
      if (this.p.show_points) this.draw_points(painter, d, [0, d.n - 1]);
    }
  });
  lumo.register_plotter(['scatter', 'xy'], 'Scatter');
})(lumo);
