// plot.js: one plot in the page: its properties, plotters, scales and layers, the operations
// the host calls (set_markup, setup, copy, show_error, plotter_data_changed, ...) and the
// drawing of the scales around the data area.
(function (lumo) {
  'use strict';

  var layerZ = { back: lumo.kBelowGraticule, data: lumo.kData, annot: lumo.kAnnotations };
  var kDefaultWidth = 640, kDefaultHeight = 400;

  lumo.def('Plot', null, {
    init: function (id) {
      this.id = String(id);
      this.plotters = [];
      this.scales = [lumo.make('Scale', this, 'x'), lumo.make('Scale', this, 'y')];
      this.shared = {};
      this.p = lumo.check_props(this.id, 'unnamed plot', lumo.plot_props(), {});
      this.dblclick_time = 250;
      this.in_error = false;
      this.error_message = null;
      this.size = { w: kDefaultWidth, h: kDefaultHeight };
      this.area = { left: 0, top: 0, width: 1, height: 1, right: 1, bottom: 1 };
      this.scheduler = lumo.make('DrawScheduler', this);
      this.throbber_timer = null;
      this.timings = {};
      this.mouse = null;
      this.menu_timer = null;
      this.is_set_up = false;
      this.element = null;
      this.layers = {};
      if (lumo.has_dom()) this.attach_dom();
      this.layout();
    },

    // ---- page structure ----
    attach_dom: function () {
      var doc = lumo.global.document;
      this.element = doc.getElementById(this.id);
      if (!this.element) return;
      lumo.install_styles(doc);
      var el = this.element;
      if (lumo.global.getComputedStyle && lumo.global.getComputedStyle(el).position === 'static') el.style.position = 'relative';
      el.style.overflow = 'hidden';
      var self = this;
      Object.keys(layerZ).forEach(function (name) { self.layers[name] = lumo.make('CanvasLayer', el, name, layerZ[name]); });
      this.dispatcher = lumo.make('EventDispatcher', this, el);
      this.menu_button = lumo.make_menu_button(this);
      this.on_resize = function () { self.redraw(); };
      jQuery(lumo.global).on('resize', this.on_resize);
    },
    layout: function () {
      if (this.element) {
        var w = jQuery(this.element).width(), h = jQuery(this.element).height();
        if (w > 0 && h > 0) this.size = { w: w, h: h };
      }
      var p = this.p;
      var titleH = p.title ? p.labelsize * 1.8 : 0;
      var left = p.yscalewidth, top = p.topmargin + titleH;
      var right = Math.max(left + 10, this.size.w - p.rightmargin);
      var bottom = Math.max(top + 10, this.size.h - p.xscaleheight);
      this.area = { left: left, top: top, right: right, bottom: bottom, width: right - left, height: bottom - top };
      this.scales[0].set_pixels(left, right - left);
      this.scales[1].set_pixels(top, bottom - top);
      var self = this;
      Object.keys(this.layers).forEach(function (k) { self.layers[k].resize(self.size.w, self.size.h); });
    },
    set_size: function (w, h) { this.size = { w: w, h: h }; this.layout(); },
    destroy: function () {
      this.scheduler.cancel();
      this.remove_plotters();
      this.stop_throbber();
      if (!this.element) return;
      var self = this;
      Object.keys(this.layers).forEach(function (k) { self.layers[k].remove(); });
      this.menu_button.remove();
      this.hide_error();
      jQuery(this.element).off();
      jQuery(lumo.global).off('resize', this.on_resize);
    },

    // ---- operations the host calls ----
    dblclick_ms: function (t) {
      if (t !== undefined) { this.dblclick_time = +t; return this; }
      return this.dblclick_time;
    },
    set_markup: function (markup) {
      var self = this;
      return lumo.guard(this, function () {
        self.scheduler.cancel();
        self.start_throbber();
        lumo.remote('CompileMarkup', self.id, String(markup));
      });
    },
    setup: function (literal) {
      var self = this;
      return lumo.guard(this, function () { self.setup_inner(literal); });
    },
    setup_inner: function (literal) {
      this.hide_error();
      this.scheduler.cancel();
      this.remove_plotters();
      if (!Array.isArray(literal)) literal = [];
      // First pass and the plot's own properties.
      this.shared = lumo.map_settings(lumo.shared_properties(literal), null);
      lumo.use_fake_proxy = this.shared.use_js_fake_proxy === true;
      // Second pass: the plotters, then the default graticule and the zoom panel.
      var recs = lumo.plotter_records(literal, lumo.shared_properties(literal));
      var self = this;
      recs.plotters.forEach(function (r) { self.add_plotter(r.kind, r.settings); });
      if (!recs.graticule_given) this.add_plotter('grat', lumo.shared_properties(literal));
      if (!this.plotters.some(function (pl) { return pl.kind === 'zoom'; })) this.add_plotter('zoom', {});
      this.check_all();
      if (recs.errors.length) this.show_error(recs.errors.join('<br>'));
      else if (!this.in_error) this.hide_error();
      this.initial_scaling();
      this.is_set_up = true;
      this.stop_throbber();
      this.draw_now();
    },
    remove_plotters: function () {
      this.plotters.forEach(function (pl) { if (pl.remove) pl.remove(); });
      this.plotters = [];
    },
    // Makes and adds a plotter of a registered kind; returns it (undefined for other kinds).
    add_plotter: function (kind, settings) {
      var cls = lumo.plotter_class(kind);
      if (!cls) return undefined;
      var self = this;
      var mapped = lumo.map_settings(settings || {}, kind);
      var pl = lumo.make(cls, this, kind, mapped);
      if (!pl.id) pl.id = lumo.new_plotter_id(function (id) { return !!self.get_plotter(id); });
      this.plotters.push(pl);
      return pl;
    },
    get_plotter: function (id) {
      for (var i = 0; i < this.plotters.length; ++i) if (this.plotters[i].id === id) return this.plotters[i];
      return undefined;
    },
    check_all: function () {
      this.p = lumo.check_props(this.id, lumo.owner_name(this.shared, null), lumo.plot_props(), this.shared);
      this.scales[0].full_min = this.p.fullrange_xscalemin; this.scales[0].full_max = this.p.fullrange_xscalemax;
      this.scales[1].full_min = this.p.fullrange_yscalemin; this.scales[1].full_max = this.p.fullrange_yscalemax;
      this.layout();
      this.plotters.forEach(function (pl) { pl.check(); });
      // A data plotter's own `cursor` settings give it a cursor of its own.
      var self = this;
      this.plotters.filter(function (pl) { return pl.is_data() && pl.p.cursor; }).forEach(function (pl) {
        var c = self.add_plotter('cursor', lumo.merge(pl.p.cursor, { target: pl.id, id: undefined }));
        c.check();
      });
    },
    // Given range, else full range, else the data's own range; automatic when asked for.
    initial_scaling: function () {
      var p = this.p;
      var axes = [['x', p.xscalemin, p.xscalemax, p.do_initial_autoscale_x], ['y', p.yscalemin, p.yscalemax, p.do_initial_autoscale_y]];
      var self = this;
      axes.forEach(function (a, i) {
        var s = self.scales[i];
        var done = false;
        if (a[3]) done = s.auto_scale_now_quiet();
        if (!done && lumo.is_finite(a[1]) && lumo.is_finite(a[2])) done = s.set_range(a[1], a[2]);
        if (!done) done = s.set_range(s.full_min, s.full_max);
        if (!done) done = s.auto_scale_now_quiet();
        if (!done) s.set_range(0, 1);
      });
    },
    show_error: function (message) {
      // An error is the end of loading: the markup that failed will not set the plot up.
      this.stop_throbber();
      this.in_error = true;
      this.error_message = String(message);
      if (this.element) lumo.show_error_div(this.element, this.error_message);
    },
    hide_error: function () {
      this.in_error = false;
      this.error_message = null;
      if (this.element) lumo.hide_error_div(this.element);
    },
    copy: function (kind) {
      var self = this;
      return lumo.guard(this, function () {
        var t0 = lumo.now();
        self.layout();
        var svg = lumo.make('SvgPainter', self.size.w, self.size.h, self.p.fontfamily);
        // Printed traces are reduced to the paper's resolution, not to the screen's pixels.
        if (String(kind) === 'print') svg.columns_per_pixel = lumo.kPrintColumnsPerPixel;
        svg.start();
        // The pointer's cursor and rubber band belong to the screen, not to print.
        var mouse = self.mouse;
        self.mouse = null;
        try { self.paint_all(svg); } finally { self.mouse = mouse; }
        var text = svg.finish();
        self.timings.copy = lumo.now() - t0;
        self.timings.copy_bytes = text.length;
        lumo.remote('SetSVG', self.id, String(kind), text);
        return text;
      });
    },
    plotter_data_changed: function (plotterId, firstIndex, count) {
      var self = this;
      return lumo.guard(this, function () {
        var pl = self.get_plotter(plotterId);
        if (!pl) return;
        pl.data_changed(+firstIndex, +count);
        self.redraw();
      });
    },
    get_scales: function () { return this.scales; },
    // A user's change of either range (null keeps it), through the zoom history.
    zoom_to: function (xr, yr) {
      var zoom = this.plotters.filter(function (pl) { return pl.kind === 'zoom'; })[0];
      if (zoom) { zoom.apply(xr, yr); return; }
      if (xr) this.scales[0].set_range(xr[0], xr[1], 'user');
      if (yr) this.scales[1].set_range(yr[0], yr[1], 'user');
      this.redraw();
    },
    get_x_scaling: function () { return this.scales[0].scaling(); },
    get_y_scaling: function () { return this.scales[1].scaling(); },

    // ---- scaling ----
    scaling_changed: function (scale, isAuto) {
      lumo.remote(scale.axis === 'x' ? 'XScalingChanged' : 'YScalingChanged', this.id, [scale.min, scale.max, isAuto ? 1.0 : 0.0]);
    },
    // Union of the visible data plotters' ranges on an axis (y over the visible x range).
    data_range: function (axis) {
      var lo = Infinity, hi = -Infinity;
      this.plotters.forEach(function (pl) {
        if (!pl.p.visible || !pl.is_data()) return;
        var r = pl.data_range(axis);
        if (r && lumo.is_finite(r.min) && lumo.is_finite(r.max)) { lo = Math.min(lo, r.min); hi = Math.max(hi, r.max); }
      });
      if (!(lo <= hi)) return null;
      if (lo === hi) { var d = lo === 0 ? 1 : Math.abs(lo) * 0.1; lo -= d; hi += d; }
      return { min: lo, max: hi };
    },
    // A view of the x axis for the data sources' index rule.
    x_view: function (step, first) {
      var s = this.scales[0];
      var max = lumo.is_finite(s.full_max) ? Math.max(s.full_max, s.max) : s.max;
      return { xmin: s.min, xmax: max, xstep: step, xfirst: first };
    },

    // ---- drawing ----
    redraw: function () { this.scheduler.request(this.p.throttleredraws); },
    sorted_plotters: function () {
      return this.plotters.map(function (pl, i) { return { pl: pl, i: i }; })
        .sort(function (a, b) { return (a.pl.z_order() - b.pl.z_order()) || (a.i - b.i); })
        .map(function (e) { return e.pl; });
    },
    draw_now: function () {
      var t0 = lumo.now();
      this.layout();
      if (!this.element) { this.timings.draw = lumo.now() - t0; return; }
      var self = this;
      if (this.p.hidewhiledrawing) Object.keys(this.layers).forEach(function (k) { self.layers[k].set_visible(false); });
      Object.keys(this.layers).forEach(function (k) { self.layers[k].clear(); self.layers[k].painter.family = self.p.fontfamily; });
      this.paint_frame(this.layers.back.painter);
      this.sorted_plotters().forEach(function (pl) {
        if (pl.p.visible) self.paint_plotter(pl, self.layers[pl.layer_name()].painter);
      });
      this.paint_scales(this.layers.back.painter);
      this.menu_button.update();
      if (this.p.hidewhiledrawing) Object.keys(this.layers).forEach(function (k) { self.layers[k].set_visible(true); });
      this.timings.draw = lumo.now() - t0;
    },
    // Only the annotation layer (cursors, lines, boxes) after a mouse move.
    draw_annotations: function () {
      if (!this.element) return;
      var painter = this.layers.annot.painter;
      painter.clear();
      var self = this;
      this.sorted_plotters().forEach(function (pl) {
        if (pl.p.visible && pl.layer_name() === 'annot') self.paint_plotter(pl, painter);
      });
    },
    paint_plotter: function (pl, painter) {
      var a = this.area;
      painter.push_clip(a.left, a.top, a.width, a.height);
      try { pl.draw(painter, a); } finally { painter.pop(); }
    },
    // The whole plot for print: frame, plotters by z order (ties in creation order), scales.
    paint_all: function (painter) {
      var self = this;
      this.paint_frame(painter);
      this.sorted_plotters().forEach(function (pl) { if (pl.p.visible) self.paint_plotter(pl, painter); });
      this.paint_scales(painter);
    },
    paint_frame: function (painter) {
      var a = this.area;
      painter.rect(0, 0, this.size.w, this.size.h, { fill: this.p.background });
      if (this.p.shadow) painter.shadow_rect(a.left, a.top, a.width, a.height);
      painter.rect(a.left, a.top, a.width, a.height, { fill: lumo.colours.white });
    },
    paint_scales: function (painter) {
      var p = this.p, a = this.area;
      var axisColour = new lumo.Colour(90, 90, 90, 255);
      var line = { stroke: axisColour, width: 1 };
      var xs = this.scales[0], ys = this.scales[1];
      painter.rect(a.left, a.top, a.width, a.height, { stroke: axisColour, width: 1 });
      if (p.axesshadow) painter.shadow_rect(a.left, a.bottom, a.width, 1);
      var font = { size: p.fontsize, family: p.fontfamily, colour: lumo.colours.black };
      // Where the scales' texts lie, so that the menu button can keep clear of them.
      var boxes = this.scale_text_boxes = [];
      // An x label hangs centred below its tick; a y label ends left of its tick, centred on it.
      var box = function (text, x, y, yLabel) {
        var w = painter.measure(text, p.fontsize, p.fontfamily), h = p.fontsize;
        var left = yLabel ? x - w : x - w / 2, top = yLabel ? y - h * 0.45 : y;
        boxes.push({ left: left, top: top, right: left + w, bottom: top + (yLabel ? h * 0.9 : h) });
      };
      // x scale
      var sample = xs.label(xs.max, (xs.max - xs.min) / 10);
      var xt = xs.ticks(painter.measure(sample + '0', p.fontsize, p.fontfamily));
      var seg = [];
      xt.major.forEach(function (v) { var x = xs.to_pix(v); seg.push([x, a.bottom, x, a.bottom + p.majorticksize]); });
      xt.minor.forEach(function (v) { var x = xs.to_pix(v); seg.push([x, a.bottom, x, a.bottom + p.minorticksize]); });
      var ySeg = [];
      var yt = ys.ticks();
      yt.major.forEach(function (v) { var y = ys.to_pix(v); ySeg.push([a.left - p.majorticksize, y, a.left, y]); });
      yt.minor.forEach(function (v) { var y = ys.to_pix(v); ySeg.push([a.left - p.minorticksize, y, a.left, y]); });
      painter.polyline(seg.concat(ySeg), line);
      if (p.show_x_scale_labels) {
        var xl = xt.major.map(function (v) { return [v, xt.step]; });
        if (p.label_each_minor_x_tick) xl = xl.concat(xt.minor.map(function (v) { return [v, xt.minor_step]; }));
        xl.forEach(function (e) {
          var text = xs.label(e[0], e[1]), x = xs.to_pix(e[0]), y = a.bottom + p.majorticksize + 2;
          painter.text(text, x, y, lumo.merge(font, { halign: 'middle', valign: 'top' }));
          box(text, x, y, false);
        });
      }
      if (p.show_y_scale_labels) {
        var yl = yt.major.map(function (v) { return [v, yt.step]; });
        if (p.label_each_minor_y_tick) yl = yl.concat(yt.minor.map(function (v) { return [v, yt.minor_step]; }));
        yl.forEach(function (e) {
          var text = ys.label(e[0], e[1]), x = a.left - p.majorticksize - 3, y = ys.to_pix(e[0]);
          painter.text(text, x, y, lumo.merge(font, { halign: 'end', valign: 'middle' }));
          box(text, x, y, true);
        });
      }
      var lf = { size: p.labelsize, family: p.fontfamily, colour: lumo.colours.black };
      var xlabelY = Math.min(this.size.h - p.labelsize * 1.4, a.bottom + p.majorticksize + p.fontsize * 1.5 + 8);
      if (p.xlabel) painter.text(p.xlabel, a.left + a.width / 2, xlabelY, lumo.merge(lf, { halign: 'middle', valign: 'top' }));
      if (p.ylabel) {
        painter.text(p.ylabel, p.labelsize * 0.6 + 2, a.top + a.height / 2, lumo.merge(lf, { halign: 'middle', valign: 'top', angle: -90 }));
        var half = painter.measure(p.ylabel, p.labelsize, p.fontfamily) / 2;
        boxes.push({ left: p.labelsize * 0.6 + 2, top: a.top + a.height / 2 - half, right: p.labelsize * 1.8 + 2, bottom: a.top + a.height / 2 + half });
      }
      if (p.title) painter.text(p.title, a.left + a.width / 2, p.topmargin + 2, lumo.merge(lf, { halign: 'middle', valign: 'top', weight: 'bold' }));
    },

    // ---- the loading indicator ----
    start_throbber: function () {
      var self = this, delay = this.p.throbberdelay;
      this.stop_throbber();
      if (delay < 0 || !this.element) return;
      this.throbber_timer = lumo.timeout(function () { self.throbber_timer = null; lumo.show_throbber(self.element); }, delay);
    },
    stop_throbber: function () {
      lumo.cancel_timeout(this.throbber_timer);
      this.throbber_timer = null;
      if (this.element) lumo.hide_throbber(this.element);
    }
  });

})(lumo);
