// box.js: a rectangle in data units that the user moves or resizes by its edges; on release
// the page reports x minimum, x maximum, y minimum, y maximum (BoxResized).
(function (lumo) {
  'use strict';


  lumo.def('Box', 'Plotter', {
    default_z: lumo.kAnnotations,
    own_props: function () {
      return {
        xmin: lumo.props.num(0), xmax: lumo.props.num(1), ymin: lumo.props.num(0), ymax: lumo.props.num(1),
        fill: lumo.prop('colour', null, { nullable: true }),
        resizable: lumo.props.bool(true)
      };
    },
    configure: function () {
      var p = this.p;
      this.r = { xmin: Math.min(p.xmin, p.xmax), xmax: Math.max(p.xmin, p.xmax), ymin: Math.min(p.ymin, p.ymax), ymax: Math.max(p.ymin, p.ymax) };
    },
    pix: function () {
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      return { l: xs.to_pix(this.r.xmin), r: xs.to_pix(this.r.xmax), t: ys.to_pix(this.r.ymax), b: ys.to_pix(this.r.ymin) };
    },
    draw: function (painter) {
      var q = this.pix();
      painter.rect(q.l, q.t, q.r - q.l, q.b - q.t, { fill: this.p.fill || this.p.colour.with_alpha(0.12), stroke: this.p.colour, width: this.p.linewidth });
    },
    // Which edges a press at (x, y) takes: a set of 'l', 'r', 't', 'b', or 'move' inside.
    grip: function (x, y) {
      var q = this.pix(), m = 4;
      if (x < q.l - m || x > q.r + m || y < q.t - m || y > q.b + m) return null;
      var g = {};
      if (Math.abs(x - q.l) <= m) g.l = true; else if (Math.abs(x - q.r) <= m) g.r = true;
      if (Math.abs(y - q.t) <= m) g.t = true; else if (Math.abs(y - q.b) <= m) g.b = true;
      return Object.keys(g).length ? g : { move: true };
    },
    hover_cursor: function (x, y) {
      var g = this.p.resizable ? this.grip(x, y) : null;
      if (!g) return '';
      if (g.move) return 'move';
      if ((g.l || g.r) && (g.t || g.b)) return (g.l && g.t) || (g.r && g.b) ? 'nwse-resize' : 'nesw-resize';
      return g.l || g.r ? lumo.drag_cursor(g.l ? 'cursor_l_stretch_t' : 'cursor_r_stretch_t', 'ew-resize') : 'ns-resize';
    },
    hit: function (x, y) {
      var g = this.p.resizable ? this.grip(x, y) : null;
      if (!g) return null;
      var self = this, plot = this.plot;
      var r0 = lumo.merge(this.r);
      var xs = plot.scales[0], ys = plot.scales[1];
      return {
        cursor: this.hover_cursor(x, y),
        drag: function (mx, my) {
          var dx = xs.from_pix(mx) - xs.from_pix(x), dy = ys.from_pix(my) - ys.from_pix(y);
          var r = lumo.merge(r0);
          if (g.move) { r.xmin += dx; r.xmax += dx; r.ymin += dy; r.ymax += dy; }
          if (g.l) r.xmin += dx;
          if (g.r) r.xmax += dx;
          if (g.t) r.ymax += dy;
          if (g.b) r.ymin += dy;
          self.r = { xmin: Math.min(r.xmin, r.xmax), xmax: Math.max(r.xmin, r.xmax), ymin: Math.min(r.ymin, r.ymax), ymax: Math.max(r.ymin, r.ymax) };
          plot.draw_annotations();
        },
        end: function () {
          lumo.remote('BoxResized', self.id, [self.r.xmin, self.r.xmax, self.r.ymin, self.r.ymax]);
        }
      };
    }
  });
  lumo.register_plotter(['box'], 'Box');
})(lumo);
