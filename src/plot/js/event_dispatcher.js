// event_dispatcher.js: routes the mouse to the plot: presses go to the topmost plotter that
// takes them, then to the scales, then to the zoom panel's rubber band or the drag scroller;
// a drag is captured until release; a second press within the plot's double-click time is a
// double click; moves update the cursors; the wheel zooms the x axis.
(function (lumo) {
  'use strict';

  lumo.def('EventDispatcher', null, {
    init: function (plot, element) {
      this.plot = plot;
      this.element = element;
      this.last_press = null;
      this.active = null;
      var self = this;
      var $ = lumo.global.jQuery;
      var on = function (name, fn) {
        $(element).on(name, function (ev) { return lumo.guard(plot, function () { return fn.call(self, ev); }); });
      };
      on('mousedown', this.press);
      on('mousemove', this.move);
      on('mouseleave', this.leave);
      on('contextmenu', this.context_menu);
      on('wheel', this.wheel);
    },
    pos: function (ev) {
      var r = this.element.getBoundingClientRect();
      return { x: ev.clientX - r.left, y: ev.clientY - r.top };
    },
    in_area: function (x, y) {
      var a = this.plot.area;
      return x >= a.left && x <= a.right && y >= a.top && y <= a.bottom;
    },
    // Plotters from the top of the z order down.
    top_down: function () { return this.plot.sorted_plotters().slice().reverse().filter(function (pl) { return pl.p.visible; }); },

    press: function (ev) {
      if (ev.button !== 0 || $isButton(ev.target)) return undefined;
      var p = this.pos(ev);
      var now = lumo.now();
      var lp = this.last_press;
      if (lp && now - lp.t <= this.plot.dblclick_time && Math.abs(lp.x - p.x) < 5 && Math.abs(lp.y - p.y) < 5) {
        this.last_press = null;
        this.double_click(p.x, p.y);
        ev.preventDefault();
        return false;
      }
      this.last_press = { t: now, x: p.x, y: p.y };
      var h = this.find_handler(p.x, p.y, ev);
      if (!h) return undefined;
      ev.preventDefault();
      this.capture(h);
      return false;
    },
    find_handler: function (x, y, ev) {
      var list = this.top_down();
      for (var i = 0; i < list.length; ++i) {
        var h = list[i].hit(x, y, ev);
        if (h) return h;
      }
      var sh = lumo.scale_press(this.plot, x, y, ev);
      if (sh) return sh;
      if (!this.in_area(x, y)) return null;
      var zoom = this.plot.plotters.filter(function (pl) { return pl.kind === 'zoom'; })[0];
      var scroller = this.plot.plotters.filter(function (pl) { return pl.is_scroller && pl.p.visible; })[0];
      if (zoom && (ev.shiftKey || lumo.remote('IsZoomEnabled') === true)) return zoom.rubber_band(x, y);
      if (scroller) return scroller.pan(x, y);
      return null;
    },
    capture: function (h) {
      var self = this;
      var $ = lumo.global.jQuery;
      var doc = lumo.global.document;
      this.active = h;
      if (h.cursor) this.element.style.cursor = h.cursor;
      var move = function (ev) {
        lumo.guard(self.plot, function () { var p = self.pos(ev); if (h.drag) h.drag(p.x, p.y, ev); });
        return false;
      };
      var up = function (ev) {
        $(doc).off('mousemove', move).off('mouseup', up);
        self.active = null;
        self.element.style.cursor = '';
        lumo.guard(self.plot, function () { var p = self.pos(ev); if (h.end) h.end(p.x, p.y, ev); });
        return false;
      };
      $(doc).on('mousemove', move).on('mouseup', up);
    },
    double_click: function (x, y) {
      lumo.cancel_timeout(this.plot.menu_timer);
      this.plot.menu_timer = null;
      var list = this.top_down();
      for (var i = 0; i < list.length; ++i) if (list[i].dblclick && list[i].dblclick(x, y)) return;
      var scale = lumo.scale_at(this.plot, x, y);
      if (scale) { scale.auto_scale(); return; }
      if (this.in_area(x, y)) { this.plot.scales[0].auto_scale(); this.plot.scales[1].auto_scale(); }
    },
    move: function (ev) {
      if (this.active) return;
      var p = this.pos(ev);
      this.plot.mouse = this.in_area(p.x, p.y) ? p : null;
      var cursor = '';
      var list = this.top_down();
      for (var i = 0; i < list.length && !cursor; ++i) if (list[i].hover_cursor) cursor = list[i].hover_cursor(p.x, p.y) || '';
      if (!cursor && lumo.scale_at(this.plot, p.x, p.y)) cursor = lumo.scale_at(this.plot, p.x, p.y).is_vertical() ? 'ns-resize' : 'ew-resize';
      this.element.style.cursor = cursor;
      this.plot.draw_annotations();
    },
    leave: function () {
      if (this.active) return;
      this.plot.mouse = null;
      this.plot.draw_annotations();
    },
    context_menu: function (ev) {
      var p = this.pos(ev);
      var scale = lumo.scale_at(this.plot, p.x, p.y);
      if (!scale) return undefined;
      lumo.open_scale_menu(this.plot, scale);
      ev.preventDefault();
      return false;
    },
    wheel: function (ev) {
      var p = this.pos(ev);
      if (!this.in_area(p.x, p.y)) return undefined;
      var zoom = this.plot.plotters.filter(function (pl) { return pl.kind === 'zoom'; })[0];
      var delta = (ev.originalEvent || ev).deltaY;
      if (zoom) zoom.zoom_about(p.x, p.y, delta > 0 ? 1.25 : 0.8, ev.shiftKey);
      return false;
    }
  });

  function $isButton(target) {
    return !!(target && target.className && String(target.className).indexOf('lumo-button') >= 0);
  }
})(lumo);
