// zoom.js: the zoom panel every plot gets: zoom history with undo and redo, buttons (zoom in,
// zoom out, undo, redo, fit), the rubber band and wheel zoom. Each zoom reports the scaling
// changes, then SetZoomState, then ZoomLevelChanged.
(function (lumo) {
  'use strict';

  lumo.def('ZoomPanel', 'Plotter', {
    default_z: lumo.kButtons,
    init: function (plot, kind, settings) {
      lumo.cls('Plotter').prototype.init.call(this, plot, kind, settings);
      this.history = [];
      this.index = -1;
      this.band = null;
      this.buttons = null;
    },
    layer_name: function () { return 'annot'; },
    configure: function () {
      this.history = [];
      this.index = -1;
      if (this.plot.element && !this.buttons) this.make_buttons();
    },
    make_buttons: function () {
      var self = this, plot = this.plot;
      var specs = [['+', 'Zoom in', function () { self.zoom_about(null, null, 0.5, true); }],
        ['\u2212', 'Zoom out', function () { self.zoom_about(null, null, 2, true); }],
        ['\u21b6', 'Undo zoom', function () { self.undo(); }],
        ['\u21b7', 'Redo zoom', function () { self.redo(); }],
        ['\u2922', 'Fit to data', function () { self.fit(); }]];
      this.buttons = specs.map(function (s) { return lumo.make('Button', plot, s[0], s[1], s[2]); });
    },
    remove: function () {
      if (this.buttons) this.buttons.forEach(function (b) { b.remove(); });
      this.buttons = null;
    },
    state: function () {
      var s = this.plot.scales;
      return { x: [s[0].min, s[0].max], y: [s[1].min, s[1].max] };
    },
    can_undo: function () { return this.index > 0; },
    can_redo: function () { return this.index >= 0 && this.index < this.history.length - 1; },

    // Applies a new range to either axis (null keeps it) as the user's zoom; the states before
    // and after enter the history, dropping what could have been redone.
    apply: function (xr, yr) {
      if (this.index < 0) { this.history = [this.state()]; this.index = 0; }
      this.history.length = this.index + 1;
      this.set_state(xr, yr, true);
    },
    set_state: function (xr, yr, record) {
      var s = this.plot.scales;
      if (xr) s[0].set_range(xr[0], xr[1], 'user');
      if (yr) s[1].set_range(yr[0], yr[1], 'user');
      if (record) { this.history.push(this.state()); this.index = this.history.length - 1; }
      this.report();
      this.plot.redraw();
    },
    report: function () {
      var st = this.state();
      lumo.remote('SetZoomState', this.plot.id, this.can_undo(), this.can_redo());
      lumo.remote('ZoomLevelChanged', this.plot.id, [st.x[0], st.x[1], st.y[0], st.y[1]]);
      this.update_buttons();
    },
    undo: function () {
      if (!this.can_undo()) return;
      var st = this.history[--this.index];
      this.set_state(st.x, st.y, false);
    },
    redo: function () {
      if (!this.can_redo()) return;
      var st = this.history[++this.index];
      this.set_state(st.x, st.y, false);
    },
    fit: function () {
      var xr = this.plot.scales[0].auto_range(), yr;
      var s0 = this.plot.scales[0];
      var save = [s0.min, s0.max];
      if (xr) { s0.min = xr.min; s0.max = xr.max; }
      yr = this.plot.scales[1].auto_range();
      s0.min = save[0]; s0.max = save[1];
      this.apply(xr ? [xr.min, xr.max] : null, yr ? [yr.min, yr.max] : null);
    },
    // Zooms by `factor` about pixel (px, py) (the centre when null); y too when asked.
    zoom_about: function (px, py, factor, both) {
      var s = this.plot.scales;
      var cx = px === null ? (s[0].min + s[0].max) / 2 : s[0].from_pix(px);
      var cy = py === null ? (s[1].min + s[1].max) / 2 : s[1].from_pix(py);
      var xr = [cx - (cx - s[0].min) * factor, cx + (s[0].max - cx) * factor];
      var yr = both ? [cy - (cy - s[1].min) * factor, cy + (s[1].max - cy) * factor] : null;
      this.apply(xr, yr);
    },
    rubber_band: function (x0, y0) {
      var self = this, plot = this.plot;
      return {
        cursor: 'crosshair',
        drag: function (x, y) {
          var a = plot.area;
          self.band = { x0: x0, y0: y0, x1: lumo.clamp(x, a.left, a.right), y1: lumo.clamp(y, a.top, a.bottom) };
          plot.draw_annotations();
        },
        end: function () {
          var b = self.band;
          self.band = null;
          plot.draw_annotations();
          if (!b || Math.abs(b.x1 - b.x0) < 5 || Math.abs(b.y1 - b.y0) < 5) return;
          var s = plot.scales;
          var xa = s[0].from_pix(b.x0), xb = s[0].from_pix(b.x1), ya = s[1].from_pix(b.y0), yb = s[1].from_pix(b.y1);
          self.apply([Math.min(xa, xb), Math.max(xa, xb)], [Math.min(ya, yb), Math.max(ya, yb)]);
        }
      };
    },
    update_buttons: function () {
      if (!this.buttons) return;
      var a = this.plot.area;
      var on = this.plot.p.showzoombuttons && this.p.visible !== false;
      var self = this, top = lumo.zoom_buttons_top(a, !!this.plot.p.title);
      this.buttons.forEach(function (b, i) {
        b.set_visible(on);
        b.place(a.right - (self.buttons.length - i) * 21 - 2, top);
      });
      this.buttons[2].set_enabled(this.can_undo());
      this.buttons[3].set_enabled(this.can_redo());
    },
    draw: function (painter) {
      if (!painter.is_svg) this.update_buttons();
      var b = this.band;
      if (!b) return;
      painter.rect(Math.min(b.x0, b.x1), Math.min(b.y0, b.y1), Math.abs(b.x1 - b.x0), Math.abs(b.y1 - b.y0),
        { fill: new lumo.Colour(60, 100, 200, 40), stroke: new lumo.Colour(60, 100, 200, 200), width: 1 });
    }
  });
  lumo.register_plotter(['zoom'], 'ZoomPanel');

  // The buttons' row: in the top margin when it has room and no title, clear of the data and of
  // whatever a host lays over the data area; else along the data area's top edge inside it.
  lumo.zoom_buttons_top = function (area, titled) {
    return !titled && area.top >= 20 ? area.top - 20 : area.top + 3;
  };
})(lumo);
