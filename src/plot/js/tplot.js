// tplot.js: data plotters. `DataPlotter` holds what time plots and scatter plots share (their
// x and y data, ranges, the point nearest the pointer, the cursor read-out and clicks);
// `TimePlot` draws y against a monotonic x, reduced to one minimum and maximum per pixel column
// so that long recordings stay fast on screen and small in print.
(function (lumo) {
  'use strict';


  lumo.def('DataPlotter', 'Plotter', {
    own_props: function () {
      return {
        xdata: lumo.prop('data', new lumo.PixInterval(0, 1, null, lumo.kClosedInterval)),
        ydata: lumo.prop('data', null, { nullable: true }),
        labels: lumo.prop('generator', null, { nullable: true }),
        cursor: lumo.prop('object', null, { nullable: true }),
        show_points: lumo.props.bool(false),
        show_lines: lumo.props.bool(true),
        marker: lumo.prop('string', 'cross'),
        clickable: lumo.props.bool(true)
      };
    },
    is_data: function () { return true; },
    configure: function () { this.cache = null; },
    x_step: function () {
      var xd = this.p.xdata;
      return xd instanceof lumo.PixInterval ? xd.step : 1;
    },
    // The y series (pulled as far as the view needs) and the x value of each of its samples.
    y_series: function () {
      var yd = this.p.ydata;
      if (!yd) return { length: 0, values: [] };
      var xd = this.p.xdata;
      var first = xd instanceof lumo.PixInterval && xd.begin !== null ? xd.begin : 0;
      var s = lumo.series(yd, this.plot.x_view(this.x_step(), first), 1);
      if (yd instanceof lumo.PixEnum && yd.bad_answer && !this.plot.in_error) this.plot.show_error(lumo.escape_html(yd.bad_answer));
      if (s.uniform) s.values = null;
      return s;
    },
    x_series: function (n) {
      var xd = this.p.xdata;
      if (xd instanceof lumo.PixInterval) {
        var yd = this.p.ydata;
        var first = xd.begin !== null ? xd.begin : (yd instanceof lumo.PixEnum && yd.first !== null ? yd.first * xd.step : 0);
        return { length: n, uniform: { first: first, step: xd.step } };
      }
      var view = { all: true };
      return lumo.series(xd, view, 1);
    },
    // Both series together, with the number of usable points.
    data: function () {
      var y = this.y_series();
      if (y.uniform) {
        var n0 = Math.min(y.length, 1e7);
        y = { length: n0, values: Array.from({ length: n0 }, function (v, i) { return lumo.series_at(y, i); }) };
      }
      var x = this.x_series(y.length);
      var n = Math.min(x.length, y.length);
      var xAt = x.uniform ? function (i) { return x.uniform.first + i * x.uniform.step; } : function (i) { return x.values[i]; };
      return { n: n, xAt: xAt, ys: y.values, uniform: !!x.uniform, x: x };
    },
    // Index range of the samples that fall inside the x scale (one more on each side).
    visible_range: function (d) {
      if (d.n === 0) return [0, -1];
      var xs = this.plot.scales[0];
      if (d.uniform) {
        var u = d.x.uniform;
        var i0 = Math.floor((xs.min - u.first) / u.step) - 1, i1 = Math.ceil((xs.max - u.first) / u.step) + 1;
        return [Math.max(0, i0), Math.min(d.n - 1, i1)];
      }
      // Time plots have ascending x: find the visible part by bisection.
      var xv = d.x.values;
      var lo = lumo.lower_bound(xv, xs.min, 0, d.n) - 1, hi = lumo.lower_bound(xv, xs.max, 0, d.n);
      return [Math.max(0, lo), Math.min(d.n - 1, hi)];
    },
    data_range: function (axis) {
      var d = this.data();
      if (d.n === 0) return null;
      var lo = Infinity, hi = -Infinity, i, v;
      if (axis === 'x') {
        if (d.uniform) { lo = d.xAt(0); hi = d.xAt(d.n - 1); return { min: Math.min(lo, hi), max: Math.max(lo, hi) }; }
        for (i = 0; i < d.n; ++i) { v = d.xAt(i); if (isFinite(v)) { if (v < lo) lo = v; if (v > hi) hi = v; } }
      } else {
        var r = this.visible_range(d);
        var xs = this.plot.scales[0];
        for (i = r[0]; i <= r[1]; ++i) {
          v = d.ys[i];
          if (typeof v !== 'number' || !isFinite(v)) continue;
          if (!d.uniform) { var x = d.xAt(i); if (!(x >= xs.min && x <= xs.max)) continue; }
          if (v < lo) lo = v;
          if (v > hi) hi = v;
        }
      }
      return lo <= hi ? { min: lo, max: hi } : null;
    },
    data_changed: function (first, count) {
      if (this.p.ydata instanceof lumo.PixEnum) this.p.ydata.invalidate(first, count);
      if (this.p.xdata instanceof lumo.PixEnum) this.p.xdata.invalidate(first, count);
      if (this.p.labels instanceof lumo.PixEnum) this.p.labels.invalidate(first, count);
    },
    // The sample nearest pixel (px, py): by x alone for time plots, by distance for scatter.
    nearest: function (px, py) {
      var d = this.data();
      if (d.n === 0) return null;
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var best = -1, bestD = Infinity;
      var r = this.visible_range(d);
      if (d.uniform) {
        var u = d.x.uniform;
        var i = lumo.clamp(Math.round((xs.from_pix(px) - u.first) / u.step), r[0], r[1]);
        if (isFinite(d.ys[i])) best = i;
      } else {
        for (var k = r[0]; k <= r[1]; ++k) {
          var y = d.ys[k];
          if (!isFinite(y)) continue;
          var dx = xs.to_pix(d.xAt(k)) - px, dy = ys.to_pix(y) - py;
          var dist = this.by_x_only ? Math.abs(dx) : dx * dx + dy * dy;
          if (dist < bestD) { bestD = dist; best = k; }
        }
      }
      if (best < 0) return null;
      return { index: best, x: d.xAt(best), y: d.ys[best] };
    },
    readout_template: function () {
      var c = this.p.cursor;
      return c && typeof c.readout === 'string' ? c.readout : null;
    },
    readout: function (pt, template) {
      var t = template || this.readout_template();
      var sf = this.plot.p.scalesigfigs;
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var vals = [lumo.format_value(pt.x, sf, (xs.max - xs.min) / 1000), lumo.format_value(pt.y, sf, (ys.max - ys.min) / 1000)];
      if (this.p.labels instanceof lumo.PixEnum) {
        this.p.labels.fetch({ all: true });
        vals.push(this.p.labels.values[pt.index] || '');
      }
      return t ? lumo.format_template(t, vals) : vals[0] + ', ' + vals[1];
    },
    // A click on a point reports it to the host (shift adds to the selection).
    click_point: function (pt, select) {
      if (!this.p.clickable) return;
      lumo.remote('OnMouseClick', pt.index, this.id, !!select);
    },
    draw_points: function (painter, d, r) {
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var st = this.style();
      var step = Math.max(1, Math.floor((r[1] - r[0] + 1) / 20000));
      for (var i = r[0]; i <= r[1]; i += step) {
        var y = d.ys[i];
        if (typeof y === 'number' && isFinite(y)) painter.marker(this.p.marker, xs.to_pix(d.xAt(i)), ys.to_pix(y), st);
      }
    }
  });

  // Samples a pixel column must hold on average before the host reduces them.
  var kSamplesPerColumn = 2;
  var kOneColumn = { o: 0, off: 0, k: 0 };
  // An x scale whose pixel columns are n to each of the scale's (a painter for print draws at the
  // paper's resolution rather than the screen's), and the reduced segments back on its pixels.
  lumo.finer_columns = function (xs, n) {
    if (!(n > 1)) return xs;
    return { origin: xs.origin * n, get_offset: function () { return xs.get_offset(); },
      get_scaling: function () { return xs.get_scaling() * n; } };
  };
  lumo.coarser_x = function (segments, n) {
    if (!(n > 1)) return segments;
    return segments.map(function (s) {
      var out = Array.prototype.slice.call(s);
      for (var i = 0; i < out.length; i += 2) out[i] /= n;
      return out;
    });
  };

  lumo.def('TimePlot', 'DataPlotter', {
    by_x_only: true,
    // The y data as the host can reduce it: a '$' source at a uniform x that is not held yet:
    // {source, u: the x of its samples, wanted: how many the view takes}; else null.
    reducible: function () {
      var yd = this.p.ydata, xd = this.p.xdata;
      if (!(yd instanceof lumo.PixEnum) || yd.is_text || yd.no_columns || yd.name.charAt(0) !== '$' ||
          yd.interval.step !== 1 || !(xd instanceof lumo.PixInterval) || !(xd.step > 0) || this.p.show_points) return null;
      var view = this.plot.x_view(this.x_step(), xd.begin !== null ? xd.begin : 0);
      var first = yd.first_index(view);
      if (yd.first !== first) { yd.reset(); yd.first = first; }
      var wanted = yd.wanted_count(view);
      if (yd.ended || yd.values.length >= wanted) return null;
      var u = { first: xd.begin !== null ? xd.begin : first * xd.step, step: xd.step };
      return { source: yd, u: u, wanted: wanted };
    },
    // The host's reduction of the samples the x scale shows (those the samples' visible range
    // takes), when there are more of them than the plot has room for; else null.
    shown_columns: function (map) {
      var red = this.reducible();
      if (!red) return null;
      var xs = this.plot.scales[0], u = red.u;
      var i0 = Math.max(0, Math.floor((xs.min - u.first) / u.step) - 1);
      var i1 = Math.min(red.wanted - 1, Math.ceil((xs.max - u.first) / u.step) + 1);
      if (!(i1 - i0 + 1 > kSamplesPerColumn * Math.max(1, this.plot.area ? this.plot.area.width : 0))) return null;
      var cols = red.source.columns(i0, i1, u, map || { o: xs.origin, off: xs.get_offset(), k: xs.get_scaling() });
      return cols ? { cols: cols, u: u, i0: i0, i1: Math.min(i1, i0 + cols.read - 1), source: red.source } : null;
    },
    data_range: function (axis) {
      var red = axis === 'x' ? this.reducible() : null;
      if (red && red.wanted > kSamplesPerColumn * Math.max(1, this.plot.area ? this.plot.area.width : 0)) {
        // Only the number of samples is needed: the host counts them in one column.
        var all = red.source.columns(0, red.wanted - 1, red.u, kOneColumn);
        if (all) return all.read > 0 ? { min: red.u.first, max: red.u.first + (all.read - 1) * red.u.step } : null;
      }
      var shown = axis === 'y' ? this.shown_columns(kOneColumn) : null;
      if (!shown) return lumo.cls('DataPlotter').prototype.data_range.call(this, axis);
      var lo = Infinity, hi = -Infinity, v = shown.cols.values;
      for (var i = 0; i < v.length; ++i) { if (v[i] < lo) lo = v[i]; if (v[i] > hi) hi = v[i]; }
      return lo <= hi ? { min: lo, max: hi } : null;
    },
    nearest: function (px, py) {
      var shown = this.shown_columns();
      if (!shown) return lumo.cls('DataPlotter').prototype.nearest.call(this, px, py);
      if (shown.i1 < shown.i0) return null;
      var u = shown.u;
      var i = lumo.clamp(Math.round((this.plot.scales[0].from_pix(px) - u.first) / u.step), shown.i0, shown.i1);
      var y = shown.source.sample_at(i);
      return isFinite(y) ? { index: i, x: u.first + i * u.step, y: y } : null;
    },
    draw: function (painter) {
      var t0 = lumo.now();
      // A print painter draws n columns to each of the screen's.
      var n = painter.columns_per_pixel, xs = lumo.finer_columns(this.plot.scales[0], n);
      var map = n > 1 ? { o: xs.origin, off: xs.get_offset(), k: xs.get_scaling() } : undefined;
      var shown = this.p.show_lines ? this.shown_columns(map) : null;
      if (shown) {
        var u = shown.u, index = shown.cols.index;
        var xAt = function (k) { return u.first + index[k] * u.step; };
        painter.polyline(lumo.coarser_x(lumo.column_reduce(xAt, shown.cols.values, 0, index.length - 1, xs, this.plot.scales[1]), n),
          this.style());
        this.plot.timings['plotter_' + this.id] = lumo.now() - t0;
        return;
      }
      var d = this.data();
      var r = this.visible_range(d);
      if (r[1] >= r[0]) {
        if (this.p.show_lines) {
          var segs = lumo.column_reduce(d.xAt, d.ys, r[0], r[1], xs, this.plot.scales[1], d.uniform ? d.x.uniform : null);
          painter.polyline(lumo.coarser_x(segs, n), this.style());
        }
        if (this.p.show_points) this.draw_points(painter, d, r);
      }
      this.plot.timings['plotter_' + this.id] = lumo.now() - t0;
    }
  });
  lumo.register_plotter(['timeplot', 'tplot'], 'TimePlot');
})(lumo);
