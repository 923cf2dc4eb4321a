// draw.js: the plotter base class, the per-pixel-column reduction of long series and the
// redraw scheduling (throttled redraws, cancelling, the loading indicator's timer).
(function (lumo) {
  'use strict';


  // Every plotter: an id, a z order, visibility, a colour and a line width.
  lumo.def('Plotter', null, {
    default_z: lumo.kData,
    init: function (plot, kind, settings) {
      this.plot = plot;
      this.kind = kind;
      this.raw = settings || {};
      this.id = typeof this.raw.id === 'string' && this.raw.id !== '' ? this.raw.id : null;
      this.p = {};
    },
    // The kind's own properties, overlaid on the base ones.
    own_props: function () { return {}; },
    props: function () {
      return lumo.merge({
        id: lumo.prop('string', null, { nullable: true }),
        z: lumo.props.num(this.default_z),
        visible: lumo.props.bool(true),
        colour: lumo.prop('colour', this.default_colour()),
        linewidth: lumo.props.num(1, 0),
        name: lumo.prop('string', '')
      }, this.own_props());
    },
    default_colour: function () {
      var i = Math.max(0, this.plot.plotters.indexOf(this));
      return lumo.palette[i % lumo.palette.length];
    },
    // Checks the settings (reporting misfits) and configures the plotter from them.
    check: function () {
      this.p = lumo.check_props(this.plot.id, lumo.owner_name(this.raw, this.kind), this.props(), this.raw);
      this.configure();
    },
    configure: function () {},
    z_order: function () { return this.p.z; },
    layer_name: function () {
      var z = this.z_order();
      if (z < lumo.kData) return 'back';
      if (z < lumo.kBelowAnnotations) return 'data';
      return 'annot';
    },
    is_data: function () { return false; },
    data_range: function () { return null; },
    // Interaction: a handler object for a press at (x, y), or null.
    hit: function () { return null; },
    data_changed: function () {},
    style: function () { return { stroke: this.p.colour, width: this.p.linewidth }; },
    draw: function () {}
  });

  // Reduces samples i0..i1 to at most two points per pixel column (the minimum and maximum, in
  // the order they occur); NaN and infinite samples end the current line, leaving a gap.
  // xAt(i) gives the x value of sample i. Returns the line segments as flat [x, y, ...] arrays.
  lumo.column_reduce = function (xAt, ys, i0, i1, xs, ysc) {
    var segments = [];
    var seg = [];
    var xo = xs.origin, xoff = xs.get_offset(), xk = xs.get_scaling();
    var yo = ysc.origin, yoff = ysc.get_offset(), yk = ysc.get_scaling();
    var col = NaN, count = 0;
    var minV = 0, maxV = 0, minI = 0, maxI = 0, firstPx = 0;
    var lim = 1e6;
    function ypix(v) { var p = yo + (v - yoff) * yk; return p < -lim ? -lim : (p > lim ? lim : p); }
    function flush() {
      if (count === 0) return;
      if (count === 1) {
        seg.push(firstPx, ypix(minV));
      } else {
        var cx = col + 0.5;
        if (minI <= maxI) { seg.push(cx, ypix(minV)); if (maxV !== minV) seg.push(cx, ypix(maxV)); }
        else { seg.push(cx, ypix(maxV)); if (maxV !== minV) seg.push(cx, ypix(minV)); }
      }
      count = 0;
    }
    function end_segment() {
      flush();
      if (seg.length >= 2) segments.push(seg);
      seg = [];
      col = NaN;
    }
    for (var i = i0; i <= i1; ++i) {
      var v = ys[i];
      var x = xAt(i);
      if (typeof v !== 'number' || !isFinite(v) || !isFinite(x)) { end_segment(); continue; }
      var px = xo + (x - xoff) * xk;
      if (px < -lim || px > lim) { end_segment(); continue; }
      var c = Math.floor(px);
      if (c !== col) { flush(); col = c; firstPx = px; minV = maxV = v; minI = maxI = i; count = 1; continue; }
      if (v < minV) { minV = v; minI = i; }
      if (v > maxV) { maxV = v; maxI = i; }
      count++;
    }
    end_segment();
    // A lone point still shows: give it a one-pixel stroke.
    return segments.map(function (s) { return s.length === 2 ? [s[0], s[1], s[0] + 1, s[1]] : s; });
  };

  // Coalesces redraw requests into one draw per animation frame (or at once without a page).
  lumo.def('DrawScheduler', null, {
    init: function (plot) { this.plot = plot; this.pending = null; this.generation = 0; },
    request: function (throttle) {
      var g = lumo.global;
      if (!throttle || !g.requestAnimationFrame) { this.cancel(); this.plot.draw_now(); return; }
      if (this.pending !== null) return;
      var self = this;
      var generation = this.generation;
      this.pending = g.requestAnimationFrame(function () {
        self.pending = null;
        if (generation !== self.generation) return;
        lumo.guard(self.plot, function () { self.plot.draw_now(); });
      });
    },
    // Cancels drawing on all layers: a pending frame is dropped.
    cancel: function () {
      this.generation++;
      if (this.pending !== null && lumo.global.cancelAnimationFrame) lumo.global.cancelAnimationFrame(this.pending);
      this.pending = null;
    }
  });
})(lumo);
