// canvas_layer.js: on-screen layers. Each layer is a canvas stacked in the plot's element at its
// z order; its painter offers the same drawing calls as the SVG painter so that every plotter
// draws once for screen and print.
(function (lumo) {
  'use strict';

  function css(c, fallback) { return (c instanceof lumo.Colour ? c : fallback).css(); }

  lumo.def('CanvasLayer', null, {
    init: function (parent, name, z) {
      this.name = name;
      this.z = z;
      var doc = lumo.global.document;
      this.canvas = doc.createElement('canvas');
      this.canvas.className = 'lumo-layer lumo-layer-' + name;
      var s = this.canvas.style;
      s.position = 'absolute'; s.left = '0px'; s.top = '0px'; s.zIndex = String(z);
      s.pointerEvents = 'none';
      parent.appendChild(this.canvas);
      this.painter = lumo.make('CanvasPainter', this.canvas);
    },
    resize: function (w, h) {
      var ratio = lumo.global.devicePixelRatio || 1;
      this.canvas.width = Math.max(1, Math.round(w * ratio));
      this.canvas.height = Math.max(1, Math.round(h * ratio));
      this.canvas.style.width = w + 'px';
      this.canvas.style.height = h + 'px';
      this.painter.ratio = ratio;
      this.painter.width = w; this.painter.height = h;
    },
    clear: function () { this.painter.clear(); },
    set_visible: function (on) { this.canvas.style.visibility = on ? 'visible' : 'hidden'; },
    remove: function () {
      if (this.canvas.parentNode) this.canvas.parentNode.removeChild(this.canvas);
    }
  });

  lumo.def('CanvasPainter', null, {
    init: function (canvas) {
      this.canvas = canvas;
      this.ctx = canvas.getContext('2d');
      this.ratio = 1;
      this.width = 0; this.height = 0;
      this.family = 'sans-serif';
      this.depth = 0;
    },
    is_svg: false,
    clear: function () {
      var c = this.ctx;
      c.setTransform(1, 0, 0, 1, 0, 0);
      c.clearRect(0, 0, this.canvas.width, this.canvas.height);
      c.setTransform(this.ratio, 0, 0, this.ratio, 0, 0);
      this.depth = 0;
    },
    measure: function (text, size, family) { return lumo.text_width(text, size, family || this.family); },
    stroke_setup: function (st) {
      var c = this.ctx;
      c.strokeStyle = css(st.stroke, lumo.colours.black);
      c.lineWidth = st.width || 1;
      c.setLineDash(st.dash && st.dash.length ? st.dash : []);
      c.lineJoin = 'round';
    },
    polyline: function (segments, st) {
      var c = this.ctx;
      this.stroke_setup(st);
      c.beginPath();
      for (var s = 0; s < segments.length; ++s) {
        var seg = segments[s];
        if (seg.length < 4) continue;
        c.moveTo(seg[0], seg[1]);
        for (var i = 2; i + 1 < seg.length; i += 2) c.lineTo(seg[i], seg[i + 1]);
      }
      c.stroke();
    },
    line: function (x1, y1, x2, y2, st) {
      var c = this.ctx;
      this.stroke_setup(st);
      c.beginPath(); c.moveTo(x1, y1); c.lineTo(x2, y2); c.stroke();
      c.setLineDash([]);
    },
    rect: function (x, y, w, h, st) {
      var c = this.ctx;
      if (st.fill instanceof lumo.Colour && st.fill.a > 0) { c.fillStyle = st.fill.css(); c.fillRect(x, y, w, h); }
      if (st.stroke instanceof lumo.Colour) { this.stroke_setup(st); c.strokeRect(x, y, w, h); }
    },
    shadow_rect: function (x, y, w, h) {
      var c = this.ctx;
      c.save();
      c.shadowColor = 'rgba(0,0,0,0.3)'; c.shadowBlur = 4; c.shadowOffsetX = 2; c.shadowOffsetY = 2;
      c.fillStyle = '#ffffff'; c.fillRect(x, y, w, h);
      c.restore();
    },
    circle: function (cx, cy, r, st) {
      var c = this.ctx;
      this.stroke_setup(st);
      c.beginPath(); c.arc(cx, cy, Math.abs(r), 0, 2 * Math.PI); c.stroke();
    },
    ellipse: function (cx, cy, rx, ry, angle, st) {
      var c = this.ctx;
      this.stroke_setup(st);
      c.beginPath(); c.ellipse(cx, cy, Math.abs(rx), Math.abs(ry), (angle || 0) * Math.PI / 180, 0, 2 * Math.PI); c.stroke();
    },
    text: function (s, x, y, o) {
      if (s === '' || s === null || s === undefined) return;
      var c = this.ctx;
      c.save();
      c.font = (o.weight ? o.weight + ' ' : '') + (o.size || 9) + 'px ' + (o.family || this.family);
      c.fillStyle = css(o.colour, lumo.colours.black);
      c.textAlign = { middle: 'center', centre: 'center', end: 'right', right: 'right' }[o.halign] || 'left';
      c.textBaseline = { middle: 'middle', bottom: 'bottom' }[o.valign] || 'top';
      c.translate(x, y);
      if (o.angle) c.rotate(o.angle * Math.PI / 180);
      c.fillText(String(s), 0, 0);
      c.restore();
    },
    marker: function (kind, x, y, st) {
      if (!isFinite(x) || !isFinite(y)) return;
      var c = this.ctx;
      this.stroke_setup(st);
      c.beginPath();
      if (kind === 'circle') c.arc(x, y, 2, 0, 2 * Math.PI);
      else if (kind === 'plus') { c.moveTo(x, y - 2); c.lineTo(x, y + 2); c.moveTo(x - 2, y); c.lineTo(x + 2, y); }
      else if (kind === 'triangle') { c.moveTo(x, y - 2); c.lineTo(x + 2, y + 2); c.lineTo(x - 2, y + 2); c.closePath(); }
      else { c.moveTo(x - 2, y - 2); c.lineTo(x + 2, y + 2); c.moveTo(x - 2, y + 2); c.lineTo(x + 2, y - 2); }
      c.stroke();
    },
    push_clip: function (x, y, w, h) {
      var c = this.ctx;
      c.save(); this.depth++;
      c.beginPath(); c.rect(x, y, w, h); c.clip();
    },
    push_translate: function (x, y) {
      this.ctx.save(); this.depth++;
      this.ctx.translate(Math.max(0, x), Math.max(0, y));
    },
    pop: function () {
      if (this.depth <= 0) return;
      this.ctx.restore(); this.depth--;
    },
    image_cells: function (cells) {
      var c = this.ctx;
      for (var i = 0; i < cells.length; ++i) {
        var cell = cells[i];
        c.fillStyle = cell.colour.css();
        c.fillRect(cell.x, cell.y, cell.w, cell.h);
      }
    }
  });
})(lumo);
