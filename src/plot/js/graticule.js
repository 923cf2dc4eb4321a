// graticule.js: the grid behind the data at the scales' major ticks (minor ticks lighter),
// solid or dashed.
(function (lumo) {
  'use strict';

  lumo.def('Graticule', 'Plotter', {
    default_z: lumo.kGraticule,
    default_colour: function () { return new lumo.Colour(220, 220, 220, 255); },
    own_props: function () {
      return {
        style: lumo.prop('string', 'solid'),
        show_minor: lumo.props.bool(true)
      };
    },
    draw: function (painter, a) {
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var xt = xs.ticks(painter.measure(xs.label(xs.max, (xs.max - xs.min) / 10) + '0', this.plot.p.fontsize, this.plot.p.fontfamily));
      var yt = ys.ticks();
      var major = { stroke: this.p.colour, width: this.p.linewidth };
      var minor = { stroke: this.p.colour.with_alpha(this.p.colour.alpha() * 0.45), width: this.p.linewidth };
      var lines = function (list, st) {
        var out = [];
        list.x.forEach(function (v) { var x = Math.round(xs.to_pix(v)) + 0.5; out.push([x, a.top, x, a.bottom]); });
        list.y.forEach(function (v) { var y = Math.round(ys.to_pix(v)) + 0.5; out.push([a.left, y, a.right, y]); });
        return { segs: out, st: st };
      };
      var groups = [];
      if (this.p.show_minor) groups.push(lines({ x: xt.minor, y: yt.minor }, minor));
      groups.push(lines({ x: xt.major, y: yt.major }, major));
      var dashed = this.p.style === 'dashed' || this.p.style === 'dotted';
      groups.forEach(function (g) {
        if (!dashed) { painter.polyline(g.segs, g.st); return; }
        // Dashed lines are single line elements: the print reader dashes only those.
        var st = lumo.merge(g.st, { dash: [3, 3] });
        g.segs.forEach(function (s) { painter.line(s[0], s[1], s[2], s[3], st); });
      });
    }
  });
  lumo.register_plotter(['graticule', 'grat'], 'Graticule');
})(lumo);
