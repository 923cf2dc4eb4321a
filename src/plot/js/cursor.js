// cursor.js: the data cursor. It follows the pointer over the data area, snaps to the nearest
// point of its target plotter, draws a cross-hair and a read-out ({0} = x, {1} = y, {2} = the
// point's label), and reports a click on the point (OnMouseClick).
(function (lumo) {
  'use strict';

  lumo.def('Cursor', 'Plotter', {
    default_z: lumo.kAboveAnnotation,
    default_colour: function () { return new lumo.Colour(40, 40, 40, 255); },
    own_props: function () {
      return {
        target: lumo.prop('string', null, { nullable: true }),
        readout: lumo.prop('string', null, { nullable: true }),
        snap_distance: lumo.props.num(6, 0)
      };
    },
    target: function () {
      var t = this.p.target ? this.plot.get_plotter(this.p.target) : null;
      if (t && t.is_data()) return t;
      return this.plot.plotters.filter(function (pl) { return pl.is_data() && pl.p.visible && pl.nearest; })[0] || null;
    },
    point: function () {
      var m = this.plot.mouse;
      var t = this.target();
      if (!m || !t) return null;
      var pt = t.nearest(m.x, m.y);
      return pt ? { pt: pt, target: t } : null;
    },
    text: function (hit) { return hit.target.readout(hit.pt, this.p.readout); },
    draw: function (painter, a) {
      var hit = this.point();
      if (!hit) return;
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var px = xs.to_pix(hit.pt.x), py = ys.to_pix(hit.pt.y);
      var st = { stroke: this.p.colour.with_alpha(0.5), width: 1, dash: [2, 3] };
      painter.line(px, a.top, px, a.bottom, st);
      painter.line(a.left, py, a.right, py, st);
      painter.circle(px, py, 4, { stroke: hit.target.p.colour, width: 2 });
      var size = this.plot.p.canvas_fontsize + 3;
      var text = this.text(hit);
      var box = lumo.text_block_size([text], size, this.plot.p.fontfamily, 3);
      var bx = px + 10 + box.w > a.right ? px - 10 - box.w : px + 10;
      var by = py - 10 - box.h < a.top ? py + 10 : py - 10 - box.h;
      lumo.draw_text_block(painter, [text], bx, by, {
        size: size, family: this.plot.p.fontfamily, colour: lumo.colours.black,
        background: new lumo.Colour(255, 255, 240, 230), border: new lumo.Colour(150, 150, 150, 255)
      });
    },
    // A press on the snapped point selects it (shift adds to the selection).
    hit: function (x, y, ev) {
      var hit = this.point();
      if (!hit) return null;
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var dx = xs.to_pix(hit.pt.x) - x, dy = ys.to_pix(hit.pt.y) - y;
      if (dx * dx + dy * dy > this.p.snap_distance * this.p.snap_distance) return null;
      return { end: function () { hit.target.click_point(hit.pt, ev && ev.shiftKey); } };
    }
  });
  lumo.register_plotter(['cursor'], 'Cursor');
})(lumo);
