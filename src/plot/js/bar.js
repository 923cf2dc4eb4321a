// bar.js: bar charts: one bar per value at x = 0, 1, 2, ..., or groups of bars when each value
// is itself an array; `xlabels` name the positions and `titles` the bars of a group.
(function (lumo) {
  'use strict';

  lumo.def('Bar', 'Plotter', {
    own_props: function () {
      return {
        data: lumo.prop('array', null, { nullable: true }),
        titles: lumo.prop('array', null, { nullable: true }),
        xlabels: lumo.prop('array', null, { nullable: true }),
        colours: lumo.prop('array', null, { nullable: true }),
        barwidth: lumo.props.num(0.8, 0)
      };
    },
    is_data: function () { return true; },
    // Groups of numbers, one group per x position.
    groups: function () {
      var d = this.p.data;
      if (!d) return [];
      var list = d instanceof lumo.PixArray ? d.values : d;
      return list.map(function (g) {
        var vals = g instanceof lumo.PixArray ? g.values : (Array.isArray(g) ? g : [g]);
        return vals.map(function (v) { return typeof v === 'number' ? v : NaN; });
      });
    },
    colour_of: function (k) {
      var c = this.p.colours;
      var list = c instanceof lumo.PixArray ? c.values : c;
      if (list && list[k] instanceof lumo.Colour) return list[k];
      return k === 0 ? this.p.colour : lumo.palette[(k + 1) % lumo.palette.length];
    },
    data_range: function (axis) {
      var g = this.groups();
      if (!g.length) return null;
      if (axis === 'x') return { min: -0.5, max: g.length - 0.5 };
      var lo = 0, hi = 0;
      g.forEach(function (vals) { vals.forEach(function (v) { if (isFinite(v)) { lo = Math.min(lo, v); hi = Math.max(hi, v); } }); });
      return { min: lo, max: hi };
    },
    draw: function (painter, a) {
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var groups = this.groups();
      var self = this;
      var y0 = ys.to_pix(0);
      var font = { size: this.plot.p.canvas_fontsize, family: this.plot.p.fontfamily, colour: lumo.colours.black };
      var xl = this.p.xlabels, titles = this.p.titles;
      groups.forEach(function (vals, i) {
        var w = self.p.barwidth / vals.length;
        vals.forEach(function (v, k) {
          if (!isFinite(v)) return;
          var x0 = xs.to_pix(i - self.p.barwidth / 2 + k * w), x1 = xs.to_pix(i - self.p.barwidth / 2 + (k + 1) * w);
          var y1 = ys.to_pix(v);
          painter.rect(x0, Math.min(y0, y1), x1 - x0, Math.abs(y0 - y1), { fill: self.colour_of(k).with_alpha(0.7), stroke: self.colour_of(k), width: 1 });
          if (titles && vals.length > 1 && titles[k] !== undefined && i === 0) {
            painter.text(String(titles[k]), (x0 + x1) / 2, Math.min(y0, y1) - 2, lumo.merge(font, { halign: 'middle', valign: 'bottom' }));
          }
        });
        if (xl && xl[i] !== undefined) painter.text(String(xl[i]), xs.to_pix(i), a.bottom - 3, lumo.merge(font, { halign: 'middle', valign: 'bottom' }));
      });
    }
  });
  lumo.register_plotter(['bar'], 'Bar');
})(lumo);
