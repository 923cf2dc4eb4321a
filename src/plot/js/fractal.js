// fractal.js: the Mandelbrot set over the visible data range, coloured by escape time; a
// test pattern that exercises zooming at any depth without host data.
(function (lumo) {
  'use strict';

  lumo.def('Fractal', 'Plotter', {
    default_z: lumo.kBelowData,
    own_props: function () {
      return { iterations: lumo.props.int(64, 1), cellsize: lumo.props.num(4, 1) };
    },
    is_data: function () { return true; },
    data_range: function (axis) { return axis === 'x' ? { min: -2.5, max: 1 } : { min: -1.25, max: 1.25 }; },
    escape: function (cr, ci) {
      var zr = 0, zi = 0, n = 0, max = this.p.iterations;
      while (n < max && zr * zr + zi * zi <= 4) {
        var t = zr * zr - zi * zi + cr;
        zi = 2 * zr * zi + ci;
        zr = t;
        n++;
      }
      return n;
    },
    // One filled cell per block of pixels; print uses larger cells to keep the SVG small.
    cells: function (a, size) {
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var out = [], max = this.p.iterations, c = this.p.colour;
      for (var y = a.top; y < a.bottom; y += size) {
        for (var x = a.left; x < a.right; x += size) {
          var n = this.escape(xs.from_pix(x + size / 2), ys.from_pix(y + size / 2));
          if (n >= max) { out.push({ x: x, y: y, w: size, h: size, colour: c }); continue; }
          var f = Math.sqrt(n / max);
          if (f < 0.05) continue;
          out.push({ x: x, y: y, w: size, h: size, colour: c.with_alpha(f * 0.8) });
        }
      }
      return out;
    },
    draw: function (painter, a) {
      painter.image_cells(this.cells(a, painter.is_svg ? Math.max(8, this.p.cellsize) : this.p.cellsize));
    }
  });
  lumo.register_plotter(['fractal', 'frac'], 'Fractal');
})(lumo);
