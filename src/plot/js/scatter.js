// scatter.js: x-y plots: points joined in data order (show_lines) and/or markers
// (show_points); the cursor snaps to the nearest point and reads out {0} = x, {1} = y.
(function (lumo) {
  'use strict';

  // Points a line must have to each pixel of the plot's area before the host reduces it.
  var kPointsPerPixel = 1;
  // The most points one request asks for (the host's limit).
  var kChunk = 1 << 22;
  // A mapping that puts every point on one pixel: what the ranges alone need.
  var kOnePixel = { xo: 0, xoff: 0, xk: 0, yo: 0, yoff: 0, yk: 0 };

  // The line through n points (xAt(i), yAt(i)) in pixels, handed to `out` point by point
  // (out.point(px, py), and out.gap() where the line breaks): a point that is not a number or
  // lies more than 1e6 pixels out breaks it, and one within a tenth of a pixel of the last one
  // kept adds nothing to it. The host's reduction (PixPath) keeps what this keeps.
  function trace_line(n, xAt, yAt, xs, ys, out) {
    var lim = 1e6, lx = NaN, ly = NaN;
    for (var i = 0; i < n; ++i) {
      var x = xAt(i), y = yAt(i);
      var px = xs.to_pix(x), py = ys.to_pix(y);
      if (typeof y !== 'number' || !isFinite(px) || !isFinite(py) || Math.abs(px) > lim || Math.abs(py) > lim) {
        out.gap();
        lx = ly = NaN;
        continue;
      }
      if (Math.abs(lx - px) < 0.1 && Math.abs(ly - py) < 0.1) continue;
      out.point(px, py);
      lx = px;
      ly = py;
    }
    return out.finish();
  }
  // The screen's line: its segments as flat [x, y, ...] arrays, a lone point left out.
  function Segments() { this.segs = []; this.seg = []; }
  Segments.prototype.point = function (px, py) { this.seg.push(px, py); };
  Segments.prototype.gap = function () {
    if (this.seg.length >= 4) this.segs.push(this.seg);
    this.seg = [];
  };
  Segments.prototype.finish = function () {
    this.gap();
    return this.segs;
  };

  // A source of the host read by sample index, one sample a point.
  function host_source(d) {
    return d instanceof lumo.PixEnum && !d.is_text && d.name.charAt(0) === '$' && d.interval.step === 1;
  }

  lumo.def('Scatter', 'DataPlotter', {
    by_x_only: false,
    own_props: function () {
      var t = lumo.cls('DataPlotter').prototype.own_props.call(this);
      t.show_points = lumo.props.bool(true);
      t.show_lines = lumo.props.bool(false);
      t.xdata = lumo.prop('data', null, { nullable: true });
      return t;
    },
    configure: function () { this.cache = null; this.path_cache = null; },
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
    // The line as the host can reduce it: both data host sources over the same indices, not
    // held yet, with more points than the plot has pixels: {first, wanted}; else null.
    reducible: function () {
      var xd = this.p.xdata, yd = this.p.ydata;
      if (!this.p.show_lines || this.p.show_points || this.no_path || !host_source(xd) || !host_source(yd)) return null;
      var view = { all: true };
      var first = yd.first_index(view);
      if (xd.first_index(view) !== first) return null;
      var wanted = Math.min(xd.wanted_count(view), yd.wanted_count(view));
      var held = function (d) { return d.first === first && (d.ended || d.values.length >= wanted); };
      if (held(xd) && held(yd)) return null;
      var a = this.plot.area;
      if (!(wanted > kPointsPerPixel * Math.max(1, a ? a.width * a.height : 0))) return null;
      return { first: first, wanted: wanted };
    },
    // The host's reduction of the line at the mapping {xo, xoff, xk, yo, yoff, yk}: {n, xs,
    // ys, x: [min, max], y: [min, max]}, the kept points and the ranges of all of them; null
    // from a host that does not reduce (the points are pulled then) or has no sources yet.
    path: function (red, map) {
      var points = red.first + ' ' + red.wanted;
      var key = [points, map.xo, map.xoff, map.xk, map.yo, map.yoff, map.yk].join(' ');
      if (this.path_cache && this.path_cache.key === key) return this.path_cache.value;
      var xd = this.p.xdata, yd = this.p.ydata;
      var parts = [], lastX = NaN, lastY = NaN;
      var value = { n: 0, xs: null, ys: null, x: [Infinity, -Infinity], y: [Infinity, -Infinity] };
      for (var from = 0; from < red.wanted;) {
        var count = Math.min(red.wanted - from, kChunk);
        var got = lumo.remote('RequestPixPath', xd.name, yd.name, red.first + from, count, lastX, lastY,
          map.xo, map.xoff, map.xk, map.yo, map.yoff, map.yk);
        // A host without the call is not asked again; one without the sources (yet) answers none.
        if (!lumo.is_sample_array(got)) { this.no_path = true; return null; }
        if (got.length < 5 || (got.length - 5) % 2 !== 0) return null;
        if (got[1] <= got[2]) {
          value.x = [Math.min(value.x[0], got[1]), Math.max(value.x[1], got[2])];
          value.y = [Math.min(value.y[0], got[3]), Math.max(value.y[1], got[4])];
        }
        var kept = got.subarray(5);
        if (kept.length > 0) { lastX = kept[kept.length - 2]; lastY = kept[kept.length - 1]; }
        parts.push(kept);
        if (got[0] < count) break;
        from += count;
      }
      value.n = parts.reduce(function (sum, p) { return sum + p.length / 2; }, 0);
      value.xs = new Float64Array(value.n);
      value.ys = new Float64Array(value.n);
      var at = 0;
      parts.forEach(function (p) {
        for (var k = 0; k < p.length; k += 2, ++at) { value.xs[at] = p[k]; value.ys[at] = p[k + 1]; }
      });
      this.path_cache = { key: key, points: points, value: value };
      return value;
    },
    data_range: function (axis) {
      var red = this.reducible();
      // The ranges are those of all the points, whatever the mapping the line was reduced at.
      var cached = red && this.path_cache && this.path_cache.points === red.first + ' ' + red.wanted;
      var path = cached ? this.path_cache.value : (red ? this.path(red, kOnePixel) : null);
      if (path) {
        var r = axis === 'x' ? path.x : path.y;
        return r[0] <= r[1] ? { min: r[0], max: r[1] } : null;
      }
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
    data_changed: function (first, count) {
      this.path_cache = null;
      lumo.cls('DataPlotter').prototype.data_changed.call(this, first, count);
    },
    draw: function (painter, area) {
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      // A print painter takes the line at the paper's resolution, n cells to each pixel, cut
      // where it would ink nothing new: round ends run each piece on into the ink.
      var n = painter.columns_per_pixel, style = this.style();
      if (n > 1) style.round = true;
      var line = function (count, xAt, yAt) {
        var out = n > 1 ? new lumo.PrintLine(n, style.width, area || this.plot.area) : new Segments();
        painter.polyline(trace_line(count, xAt, yAt, xs, ys, out), style);
      }.bind(this);
      var red = this.p.show_lines ? this.reducible() : null;
      var map = { xo: xs.origin, xoff: xs.get_offset(), xk: xs.get_scaling(), yo: ys.origin, yoff: ys.get_offset(), yk: ys.get_scaling() };
      var path = red ? this.path(red, map) : null;
      if (path) {
        line(path.n, function (i) { return path.xs[i]; }, function (i) { return path.ys[i]; });
        return;
      }
      var d = this.data();
      if (d.n === 0) return;
      if (this.p.show_lines) line(d.n, d.xAt, function (i) { return d.ys[i]; });
      if (this.p.show_points) this.draw_points(painter, d, [0, d.n - 1]);
    }
  });
  lumo.register_plotter(['scatter', 'xy'], 'Scatter');
})(lumo);
