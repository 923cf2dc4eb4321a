// vlines.js: vertical lines at x values; the user drags them, and on release the page reports
// all the lines' values, sorted ascending (VLinesDragged).
(function (lumo) {
  'use strict';

  lumo.def('VLines', 'Plotter', {
    default_z: lumo.kAnnotations,
    default_colour: function () { return new lumo.Colour(200, 40, 40, 255); },
    own_props: function () {
      return {
        values: lumo.prop('array', new lumo.PixArray([])),
        draggable: lumo.props.bool(true),
        style: lumo.prop('string', 'solid'),
        labels: lumo.props.bool(false)
      };
    },
    configure: function () {
      var v = this.p.values;
      this.values = (v instanceof lumo.PixArray ? v.numbers() : v.map(Number)).filter(isFinite);
    },
    draw: function (painter, a) {
      var xs = this.plot.scales[0];
      var st = this.style();
      var segs = this.values.map(function (v) { var x = xs.to_pix(v); return [x, a.top, x, a.bottom]; });
      if (this.p.style === 'dashed') segs.forEach(function (s) { painter.line(s[0], s[1], s[2], s[3], lumo.merge(st, { dash: [4, 3] })); });
      else painter.polyline(segs, st);
      if (this.p.labels) {
        var self = this;
        this.values.forEach(function (v) {
          painter.text(xs.label(v, (xs.max - xs.min) / 1000), xs.to_pix(v) + 3, a.top + 2,
            { size: self.plot.p.canvas_fontsize, family: self.plot.p.fontfamily, colour: self.p.colour });
        });
      }
    },
    line_at: function (x) {
      var xs = this.plot.scales[0];
      for (var i = 0; i < this.values.length; ++i) if (Math.abs(xs.to_pix(this.values[i]) - x) <= 4) return i;
      return -1;
    },
    hover_cursor: function (x, y) {
      var a = this.plot.area;
      if (!this.p.draggable || y < a.top || y > a.bottom || this.line_at(x) < 0) return '';
      return lumo.drag_cursor('cursor_lr_move_t', 'ew-resize');
    },
    hit: function (x, y) {
      var a = this.plot.area;
      if (!this.p.draggable || y < a.top || y > a.bottom) return null;
      var i = this.line_at(x);
      if (i < 0) return null;
      var self = this, plot = this.plot;
      return {
        cursor: lumo.drag_cursor('cursor_lr_move_t', 'ew-resize'),
        drag: function (px) {
          var xs = plot.scales[0];
          self.values[i] = xs.from_pix(lumo.clamp(px, plot.area.left, plot.area.right));
          plot.draw_annotations();
        },
        end: function () {
          var sorted = self.values.slice().sort(function (p, q) { return p - q; });
          lumo.remote('VLinesDragged', self.id, sorted);
        }
      };
    }
  });
  lumo.register_plotter(['vlines'], 'VLines');
})(lumo);
