// drag_scroller.js: scrolling by dragging: a drag in the data area pans the view, and a bar
// along the data area's bottom shows and moves the visible part of the full x range.
(function (lumo) {
  'use strict';

  lumo.def('DragScroller', 'Plotter', {
    default_z: lumo.kAboveAnnotation,
    is_scroller: true,
    default_colour: function () { return new lumo.Colour(90, 110, 150, 255); },
    own_props: function () { return { direction: lumo.prop('string', 'x'), show_bar: lumo.props.bool(true) }; },
    // The full x range: the plot's full range when given, else the data's.
    full: function () {
      var s = this.plot.scales[0];
      if (lumo.is_finite(s.full_min) && lumo.is_finite(s.full_max) && s.full_min < s.full_max) return { min: s.full_min, max: s.full_max };
      var r = this.plot.data_range('x');
      return r ? { min: Math.min(r.min, s.min), max: Math.max(r.max, s.max) } : { min: s.min, max: s.max };
    },
    bar: function () {
      var a = this.plot.area, s = this.plot.scales[0], f = this.full();
      var span = f.max - f.min;
      if (!(span > 0)) return null;
      var l = a.left + (s.min - f.min) / span * a.width, r = a.left + (s.max - f.min) / span * a.width;
      return { l: lumo.clamp(l, a.left, a.right), r: lumo.clamp(r, a.left, a.right), y: a.bottom - 6, h: 5, span: span };
    },
    draw: function (painter, a) {
      if (!this.p.show_bar) return;
      var b = this.bar();
      if (!b || (b.l <= a.left + 0.5 && b.r >= a.right - 0.5)) return;
      painter.rect(a.left, b.y, a.width, b.h, { fill: new lumo.Colour(0, 0, 0, 20) });
      painter.rect(b.l, b.y, Math.max(3, b.r - b.l), b.h, { fill: this.p.colour.with_alpha(0.6) });
    },
    hit: function (x, y) {
      var b = this.p.show_bar ? this.bar() : null;
      if (!b || y < b.y - 2 || y > b.y + b.h + 2 || x < b.l || x > b.r) return null;
      var s = this.plot.scales[0], plot = this.plot;
      var min0 = s.min, max0 = s.max, k = b.span / plot.area.width;
      return this.drag_handler(function (mx) { return [min0 + (mx - x) * k, max0 + (mx - x) * k]; }, null);
    },
    // A drag in the data area moves the view with the pointer.
    pan: function (x, y) {
      var s = this.plot.scales;
      var x0 = [s[0].min, s[0].max], y0 = [s[1].min, s[1].max];
      var dir = this.p.direction;
      var fx = dir === 'y' ? null : function (mx) { var d = (mx - x) / s[0].get_scaling(); return [x0[0] - d, x0[1] - d]; };
      var fy = dir === 'x' ? null : function (mx, my) { var d = (my - y) / s[1].get_scaling(); return [y0[0] - d, y0[1] - d]; };
      return this.drag_handler(fx, fy);
    },
    drag_handler: function (fx, fy) {
      var plot = this.plot, s = plot.scales;
      var start = [s[0].min, s[0].max, s[1].min, s[1].max];
      var last = null;
      return {
        cursor: lumo.drag_cursor('cursor_all_stretch_t', 'grabbing'),
        drag: function (mx, my) {
          var xr = fx ? s[0].limit.apply(s[0], fx(mx, my)) : null;
          var yr = fy ? s[1].limit.apply(s[1], fy(mx, my)) : null;
          if (xr) { s[0].min = xr[0]; s[0].max = xr[1]; }
          if (yr) { s[1].min = yr[0]; s[1].max = yr[1]; }
          last = { x: xr, y: yr };
          plot.redraw();
        },
        end: function () {
          if (!last) return;
          s[0].min = start[0]; s[0].max = start[1]; s[1].min = start[2]; s[1].max = start[3];
          plot.zoom_to(last.x, last.y);
        }
      };
    }
  });
  lumo.register_plotter(['drag_scroller'], 'DragScroller');
})(lumo);
