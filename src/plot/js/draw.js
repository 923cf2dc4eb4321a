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

  // An XY line for print, at the paper's resolution: n cells to each pixel along each axis, for a
  // line `width` pixels wide. Points come one at a time (point(px, py), gap() where the line
  // breaks; pixels within 1e6) and move to the centres of their cells; one in the cell of the
  // point before adds nothing. What the printer inks is judged as it rasterises, cell by cell: a
  // cell is inked when its centre lies within half the line's width of a drawn step, less half a
  // cell, so that the cell is whole under the stroke where the step runs between the cells of
  // its walk and the printer's finer dots see no hairline between strokes. A step that
  // would ink no cell the drawn steps have not inked adds nothing to the picture: the line is cut
  // there and goes on from its end. So each step kept inks a new cell, and what comes out is
  // bounded by the cells of the area, whatever the number of points, their noise or how often
  // the loops retrace each other. Only cells of `area` ({left, top, width, height}, pixels) and
  // of a margin as wide as the line's reach are kept: the rest is clipped away when drawn, so a
  // step there adds nothing either. finish() gives the kept runs as flat [x, y, ...] arrays.
  var kBlockBits = 2, kBlock = 1 << kBlockBits;  // cells a side of the blocks that count their inked cells
  lumo.PrintLine = function (n, width, area) {
    var stroke = (width > 0 ? width : 1) * n / 2, r = Math.max(0, stroke - 0.5), m = Math.ceil(stroke) + 1;
    this.n = n;
    this.x0 = Math.floor(area.left * n) - m;
    this.y0 = Math.floor(area.top * n) - m;
    this.w = Math.max(1, Math.ceil((area.left + area.width) * n) + m - this.x0);
    this.h = Math.max(1, Math.ceil((area.top + area.height) * n) + m - this.y0);
    this.inked = new Uint8Array(this.w * this.h);
    // Each block's inked cells, the cells it has outside the grid counted as inked: a block is
    // solid when the count is a whole block's.
    this.bw = Math.ceil(this.w / kBlock);
    this.blocks = new Uint8Array(this.bw * Math.ceil(this.h / kBlock));
    for (var by = 0; by * kBlock < this.h; ++by) {
      for (var bx = 0; bx < this.bw; ++bx) {
        this.blocks[by * this.bw + bx] = kBlock * kBlock -
          Math.min(kBlock, this.w - bx * kBlock) * Math.min(kBlock, this.h - by * kBlock);
      }
    }
    // The cells within reach of a cell's centre, as offsets.
    this.reach = Math.floor(r);
    var within = function (dx, dy) { return dx * dx + dy * dy <= r * r; };
    this.disc = [];
    for (var dy = -this.reach; dy <= this.reach; ++dy) {
      for (var dx = -this.reach; dx <= this.reach; ++dx) if (within(dx, dy)) this.disc.push(dx, dy);
    }
    // For each move of a cell to its neighbour (mx, my), at (mx + 1) * 3 + my + 1: the cells of
    // its reach that the reach of the cell before lacks.
    this.edges = [];
    for (var mx = -1; mx <= 1; ++mx) {
      for (var my = -1; my <= 1; ++my) {
        var edge = [];
        for (var k = 0; k < this.disc.length; k += 2) {
          if (!within(this.disc[k] + mx, this.disc[k + 1] + my)) edge.push(this.disc[k], this.disc[k + 1]);
        }
        this.edges.push(edge);
      }
    }
    this.out = [];
    this.run = [];
    this.lx = NaN;
    this.ly = NaN;
  };
  var PL = lumo.PrintLine.prototype;
  PL.point = function (px, py) {
    var cx = Math.floor(px * this.n), cy = Math.floor(py * this.n);
    if (cx === this.lx && cy === this.ly) return;
    if (this.lx === this.lx && !this.step(this.lx, this.ly, cx, cy)) this.cut();
    this.run.push((cx + 0.5) / this.n, (cy + 0.5) / this.n);
    this.lx = cx;
    this.ly = cy;
  };
  PL.gap = function () {
    this.cut();
    this.lx = this.ly = NaN;
  };
  PL.cut = function () {
    if (this.run.length >= 4) this.out.push(this.run);
    this.run = [];
  };
  PL.finish = function () {
    this.gap();
    return this.out;
  };
  // Inks the cells within reach of the step from cell a to cell b; false when it inks none the
  // line had not inked. The step passes the cells at its points i / count of the way along, of
  // which only those from `from` to `to` may reach the grid.
  PL.step = function (ax, ay, bx, by) {
    var r = this.reach, x0 = this.x0, y0 = this.y0, w = this.w, h = this.h;
    var dx = bx - ax, dy = by - ay, count = Math.max(Math.abs(dx), Math.abs(dy)), from = 0, to = count;
    var inside = ax >= x0 && bx >= x0 && ay >= y0 && by >= y0 && ax < x0 + w && bx < x0 + w && ay < y0 + h && by < y0 + h;
    if (!inside) {
      if (dx === 0 ? ax < x0 - r || ax > x0 + w - 1 + r : false) return false;
      if (dx !== 0) {
        var tx0 = (x0 - r - ax) * count / dx, tx1 = (x0 + w - 1 + r - ax) * count / dx;
        from = Math.max(from, Math.floor(Math.min(tx0, tx1)));
        to = Math.min(to, Math.ceil(Math.max(tx0, tx1)));
      }
      if (dy === 0 ? ay < y0 - r || ay > y0 + h - 1 + r : false) return false;
      if (dy !== 0) {
        var ty0 = (y0 - r - ay) * count / dy, ty1 = (y0 + h - 1 + r - ay) * count / dy;
        from = Math.max(from, Math.floor(Math.min(ty0, ty1)));
        to = Math.min(to, Math.ceil(Math.max(ty0, ty1)));
      }
      if (from > to) return false;
    }
    // The walk's first and last cells, in the grid's coordinates.
    var fx = ax - x0 + (from === 0 ? 0 : Math.round(dx * from / count)), fy = ay - y0 + (from === 0 ? 0 : Math.round(dy * from / count));
    var lx = ax - x0 + (to === count ? dx : Math.round(dx * to / count)), ly = ay - y0 + (to === count ? dy : Math.round(dy * to / count));
    if (this.solid(Math.min(fx, lx) - r, Math.min(fy, ly) - r, Math.max(fx, lx) + r, Math.max(fy, ly) + r)) return false;
    // The first cell's reach, then what each move of one cell adds to it.
    var inked = this.inked, blocks = this.blocks, bw = this.bw, fresh = false, px = 0, py = 0;
    for (var i = from; i <= to; ++i) {
      var cx = ax - x0 + Math.round(dx * i / count), cy = ay - y0 + Math.round(dy * i / count);
      var disc = i === from ? this.disc : this.edges[(cx - px + 1) * 3 + cy - py + 1];
      for (var k = 0; k < disc.length; k += 2) {
        var x = cx + disc[k], y = cy + disc[k + 1];
        if (x < 0 || y < 0 || x >= w || y >= h || inked[y * w + x] !== 0) continue;
        inked[y * w + x] = 1;
        ++blocks[(y >> kBlockBits) * bw + (x >> kBlockBits)];
        fresh = true;
      }
      px = cx;
      py = cy;
    }
    return fresh;
  };
  // Whether every block of the cells from (left, top) to (right, bottom) of the grid is solid
  // ink: then a step whose reach lies there inks nothing new, known without its cells.
  PL.solid = function (left, top, right, bottom) {
    var x1 = Math.max(0, left) >> kBlockBits, x2 = Math.min(this.w - 1, right) >> kBlockBits;
    var y1 = Math.max(0, top) >> kBlockBits, y2 = Math.min(this.h - 1, bottom) >> kBlockBits;
    for (var y = y1; y <= y2; ++y) {
      for (var x = x1; x <= x2; ++x) if (this.blocks[y * this.bw + x] !== kBlock * kBlock) return false;
    }
    return true;
  };

  // The segments (flat [x, y, ...] arrays of pixels) of an XY line as printed by PrintLine, over
  // `area`, by default the segments' own bounds. n of 1 or less (the screen's) leaves them be.
  lumo.grid_segments = function (segments, n, width, area) {
    if (!(n > 1)) return segments;
    if (!area) {
      var x = [Infinity, -Infinity], y = [Infinity, -Infinity];
      segments.forEach(function (s) {
        for (var i = 0; i + 1 < s.length; i += 2) {
          x = [Math.min(x[0], s[i]), Math.max(x[1], s[i])];
          y = [Math.min(y[0], s[i + 1]), Math.max(y[1], s[i + 1])];
        }
      });
      area = x[0] <= x[1] ? { left: x[0], top: y[0], width: x[1] - x[0], height: y[1] - y[0] } : { left: 0, top: 0, width: 0, height: 0 };
    }
    var line = new lumo.PrintLine(n, width, area);
    segments.forEach(function (s) {
      for (var i = 0; i + 1 < s.length; i += 2) line.point(s[i], s[i + 1]);
      line.gap();
    });
    return line.finish();
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
