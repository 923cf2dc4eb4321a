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
  // xAt(i) gives the x value of sample i; with `uniform` ({first, step}) x is first + i * step
  // and xAt is not called. ys may be a typed array, read in place. Returns the line segments
  // as flat [x, y, ...] arrays.
  // The loop keeps its state in locals that no inner function captures: captured ones would
  // live in a heap context and cost a load and a store per sample.
  var kPixLimit = 1e6;
  function ypix(v, ym) {
    var p = ym.o + (v - ym.off) * ym.k;
    return p < -kPixLimit ? -kPixLimit : (p > kPixLimit ? kPixLimit : p);
  }
  // A column's points: one sample at its own x, else minimum and maximum in the order they came.
  function emit_column(seg, col, count, firstPx, minV, maxV, minI, maxI, ym) {
    if (count === 1) { seg.push(firstPx, ypix(minV, ym)); return; }
    var cx = col + 0.5;
    var a = minI <= maxI ? minV : maxV, b = minI <= maxI ? maxV : minV;
    seg.push(cx, ypix(a, ym));
    if (maxV !== minV) seg.push(cx, ypix(b, ym));
  }
  // The last index from i to i1 whose sample is in column c, when x ascends with the index:
  // estimated from the column's right edge, then settled by the per-sample rule itself.
  function column_end(c, i, i1, xo, xoff, xk, first, step) {
    var e = Math.floor(((c + 1 - xo) / xk + xoff - first) / step);
    if (!(e >= i)) e = i;
    if (e > i1) e = i1;
    while (e > i && Math.floor(xo + (first + e * step - xoff) * xk) !== c) --e;
    while (e < i1 && Math.floor(xo + (first + (e + 1) * step - xoff) * xk) === c) ++e;
    return e;
  }
  lumo.column_reduce = function (xAt, ys, i0, i1, xs, ysc, uniform) {
    var segments = [];
    var seg = [];
    var xo = xs.origin, xoff = xs.get_offset(), xk = xs.get_scaling();
    var ym = { o: ysc.origin, off: ysc.get_offset(), k: ysc.get_scaling() };
    var col = NaN, count = 0;
    var minV = 0, maxV = 0, minI = 0, maxI = 0, firstPx = 0;
    var typed = ArrayBuffer.isView(ys);
    var first = uniform ? uniform.first : 0, step = uniform ? uniform.step : 0;
    // Samples of a typed array at ascending x are scanned column by column.
    var scan = typed && !!uniform && step * xk > 0;
    for (var i = i0; i <= i1; ++i) {
      var v = ys[i];
      var x = uniform ? first + i * step : xAt(i);
      // v - v is 0 for finite numbers only.
      var bad = (!typed && typeof v !== 'number') || v - v !== 0 || x - x !== 0;
      var px = bad ? 0 : xo + (x - xoff) * xk;
      if (bad || px < -kPixLimit || px > kPixLimit) {
        if (count > 0) emit_column(seg, col, count, firstPx, minV, maxV, minI, maxI, ym);
        if (seg.length >= 2) segments.push(seg);
        seg = [];
        col = NaN;
        count = 0;
        continue;
      }
      var c = Math.floor(px);
      if (c !== col) {
        if (count > 0) emit_column(seg, col, count, firstPx, minV, maxV, minI, maxI, ym);
        col = c; firstPx = px; minV = maxV = v; minI = maxI = i; count = 1;
        if (!scan) continue;
        // The column's other samples: no x per sample, just their extremes up to a gap.
        var last = column_end(c, i, i1, xo, xoff, xk, first, step);
        for (var j = i + 1; j <= last; ++j) {
          var w = ys[j];
          if (w - w !== 0) break;
          if (w < minV) { minV = w; minI = j; } else if (w > maxV) { maxV = w; maxI = j; }
        }
        count += j - i - 1;
        i = j - 1;
        continue;
      }
      if (v < minV) { minV = v; minI = i; } else if (v > maxV) { maxV = v; maxI = i; }
      count++;
    }
    if (count > 0) emit_column(seg, col, count, firstPx, minV, maxV, minI, maxI, ym);
    if (seg.length >= 2) segments.push(seg);
    // A lone point still shows: give it a one-pixel stroke.
    return segments.map(function (s) { return s.length === 2 ? [s[0], s[1], s[0] + 1, s[1]] : s; });
  };

  // A number for each cell, in tiles of 64 by 64 cells made as they are first written; a cell
  // never written reads as Infinity. A line passes its cells tile by tile: the tile it is in is
  // kept at hand, and the table of tiles, keyed by exact doubles, is looked up only between them.
  function CellTable() { this.tiles = new Map(); this.tx = NaN; this.ty = NaN; this.tile = null; }
  CellTable.prototype.tile_at = function (cx, cy, make) {
    var tx = cx >> 6, ty = cy >> 6, key = tx * 67108864 + ty;
    if (tx !== this.tx || ty !== this.ty) {
      this.tx = tx; this.ty = ty;
      this.tile = this.tiles.get(key) || null;
    }
    if (!this.tile && make) this.tiles.set(key, this.tile = new Float64Array(4096).fill(Infinity));
    return this.tile;
  };
  CellTable.prototype.get = function (cx, cy) {
    var tile = this.tile_at(cx, cy, false);
    return tile ? tile[(cx & 63) << 6 | (cy & 63)] : Infinity;
  };
  // Writes v to a cell never written.
  CellTable.prototype.set_first = function (cx, cy, v) {
    var tile = this.tile_at(cx, cy, true), i = (cx & 63) << 6 | (cy & 63);
    if (tile[i] === Infinity) tile[i] = v;
  };

  // An XY line's segments (flat [x, y, ...] arrays of pixels, points within 1e6 pixels) at the
  // paper's resolution: n cells to each pixel along each axis, for a line `width` pixels wide
  // that is stroked with round ends and corners. A point moves to the centre of its cell, and one
  // in the cell of the point before adds nothing. A long recording's loops retrace each other:
  // a step of at most a pixel over ground an earlier part of the line has inked adds nothing
  // either, and the line is cut there and goes on from the next step that inks something new,
  // so what comes out is bounded by the area the line covers, not by its points. The line's own
  // last steps are not earlier ground: each step lies in their ink, and would be cut.
  lumo.grid_segments = function (segments, n, width) {
    if (!(n > 1)) return segments;
    // A cell counts as inked when its centre lies this far (in cells) from a drawn step: every
    // point of it is then within half the line's width of the step, under its stroke.
    var reach = (width > 0 ? width : 1) * n / 2 - Math.SQRT1_2;
    // Ink is the line's own for as far along it as a step and the reach; twice that, to spare.
    var own = 2 * (n + reach);
    var inked = new CellTable();  // how far along the line, in cells, each cell was first inked
    var along = 0;
    // Inks the cells within reach of the step between the centres of cells a and b.
    var ink = function (ax, ay, bx, by) {
      if (reach < 0) return;  // a line thinner than a cell's diagonal covers no whole cell
      var r = Math.floor(reach), dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
      for (var x = Math.min(ax, bx) - r; x <= Math.max(ax, bx) + r; ++x) {
        for (var y = Math.min(ay, by) - r; y <= Math.max(ay, by) + r; ++y) {
          var t = len2 > 0 ? Math.max(0, Math.min(1, ((x - ax) * dx + (y - ay) * dy) / len2)) : 0;
          var ex = ax + t * dx - x, ey = ay + t * dy - y;
          if (ex * ex + ey * ey <= reach * reach) inked.set_first(x, y, along);
        }
      }
    };
    // Whether each cell the step between the centres of cells a and b passes through was inked
    // by an earlier part of the line: the cells in the order the step enters them.
    var covered = function (ax, ay, bx, by) {
      var nx = Math.abs(bx - ax), ny = Math.abs(by - ay), sx = bx > ax ? 1 : -1, sy = by > ay ? 1 : -1;
      for (var x = ax, y = ay, ix = 0, iy = 0; ;) {
        if (!(inked.get(x, y) < along - own)) return false;
        if (ix === nx && iy === ny) return true;
        // Which cell border the step crosses next: the one at x, at y, or both at a corner.
        var side = (1 + 2 * ix) * ny - (1 + 2 * iy) * nx;
        if (side <= 0) { x += sx; ++ix; }
        if (side >= 0) { y += sy; ++iy; }
      }
    };
    var out = [];
    for (var s = 0; s < segments.length; ++s) {
      var seg = segments[s], run = [], lx = NaN, ly = NaN;
      for (var i = 0; i + 1 < seg.length; i += 2) {
        var cx = Math.floor(seg[i] * n), cy = Math.floor(seg[i + 1] * n);
        if (cx === lx && cy === ly) continue;
        if (lx === lx) {  // a step from the point before
          var steps = Math.max(Math.abs(cx - lx), Math.abs(cy - ly));
          if (steps <= n && covered(lx, ly, cx, cy)) {
            if (run.length >= 4) out.push(run);
            run = [];
          } else if (steps <= n) {
            ink(lx, ly, cx, cy);
          } else {
            ink(cx, cy, cx, cy);  // a long straight step, rare: its end alone is worth the cells
          }
          along += steps;
        }
        run.push((cx + 0.5) / n, (cy + 0.5) / n);
        lx = cx; ly = cy;
      }
      if (run.length >= 4) out.push(run);
    }
    return out;
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
