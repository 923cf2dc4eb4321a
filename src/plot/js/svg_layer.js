// svg_layer.js: the painter that writes printable SVG. It keeps to the subset the host's
// printable SVG reader understands: one defs block of markers, paths of M and L with plain
// numbers (round ends and corners it may draw plain), dashed lines as line elements,
// unitless rects, one clip rect per clipPath, translations with non-negative plain numbers,
// texts with size, family, anchor, baseline and rotation, one shadow filter, colours as
// #rrggbb or rgba(r,g,b,a).
(function (lumo) {
  'use strict';

  var n = function (v) { return lumo.plain_number(v, 2); };
  var attr = function (s) { return lumo.escape_xml(s); };
  var halign = { start: 'start', left: 'start', middle: 'middle', centre: 'middle', end: 'end', right: 'end' };
  var valign = { top: 'text-before-edge', middle: 'middle', bottom: 'text-after-edge' };

  function colour_css(c, fallback) { return (c instanceof lumo.Colour ? c : fallback).css(); }
  function stroke_style(st) {
    return 'fill:none;stroke:' + colour_css(st.stroke, lumo.colours.black) +
      ';stroke-width:' + n(st.width || 1) + (st.round ? ';stroke-linecap:round;stroke-linejoin:round' : '');
  }

  lumo.def('SvgPainter', null, {
    init: function (width, height, fontFamily) {
      this.width = width; this.height = height;
      this.family = fontFamily || 'sans-serif';
      this.parts = [];
      this.clip_count = 0;
      this.open_groups = 0;
    },
    is_svg: true,
    start: function () {
      this.parts.push('<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" version="1.1" width="' +
        n(this.width) + '" height="' + n(this.height) + '">\n');
      this.parts.push('<defs>\n' +
        '<path id="cross" style="stroke-width:1;fill:none" d="M0 0 L4 4 M0 4 L4 0"/>\n' +
        '<path id="plus" style="stroke-width:1;fill:none" d="M2 0 L2 4 M0 2 L4 2"/>\n' +
        '<path id="triangle" style="stroke-width:1;fill:none" d="M2 0 L4 4 L0 4 L2 0"/>\n' +
        '<circle id="circle" style="stroke-width:1;fill:none" cx="2" cy="2" r="2"/>\n' +
        '</defs>\n');
      this.parts.push('<filter id="shadow-filter"><feGaussianBlur in="SourceAlpha" stdDeviation="2"/></filter>\n');
    },
    finish: function () {
      while (this.open_groups > 0) this.pop();
      this.parts.push('</svg>\n');
      return this.parts.join('');
    },
    measure: function (text, size) { return lumo.text_width(text, size, this.family); },

    // segments: arrays (or typed arrays) of x, y pairs; each segment a separate subpath.
    polyline: function (segments, st) {
      var d = [];
      var chunk = 0;
      for (var s = 0; s < segments.length; ++s) {
        var seg = segments[s];
        if (seg.length < 4) continue;
        for (var i = 0; i + 1 < seg.length; i += 2) {
          d.push((i === 0 ? 'M' : 'L') + n(seg[i]) + ' ' + n(seg[i + 1]));
        }
        chunk += seg.length;
      }
      if (d.length) this.parts.push('<path style="' + stroke_style(st) + '" d="' + d.join(' ') + '"/>\n');
      return chunk;
    },
    line: function (x1, y1, x2, y2, st) {
      var style = 'stroke:' + colour_css(st.stroke, lumo.colours.black) + ';stroke-width:' + n(st.width || 1);
      if (st.dash && st.dash.length) style += ';stroke-dasharray:' + st.dash.map(n).join(',');
      this.parts.push('<line x1="' + n(x1) + '" y1="' + n(y1) + '" x2="' + n(x2) + '" y2="' + n(y2) + '" style="' + style + '"/>\n');
    },
    // A rect is either filled or stroked by the reader: a filled and stroked one is two rects.
    rect: function (x, y, w, h, st) {
      if (w < 0) { x += w; w = -w; }
      if (h < 0) { y += h; h = -h; }
      var geo = ' x="' + n(x) + '" y="' + n(y) + '" width="' + n(w) + '" height="' + n(h) + '"';
      if (st.fill instanceof lumo.Colour && st.fill.a > 0) {
        this.parts.push('<rect style="fill:' + st.fill.css() + ';stroke:none"' + geo + '/>\n');
      }
      if (st.stroke instanceof lumo.Colour) {
        this.parts.push('<rect style="' + stroke_style(st) + '"' + geo + '/>\n');
      }
    },
    shadow_rect: function (x, y, w, h) {
      this.parts.push('<rect style="fill:#000000;stroke:#000000;fill-opacity:0.3" x="' + n(x) + '" y="' + n(y) +
        '" width="' + n(w) + '" height="' + n(h) + '" filter="url(#shadow-filter)"/>\n');
    },
    circle: function (cx, cy, r, st) {
      this.parts.push('<circle style="' + stroke_style(st) + '" cx="' + n(cx) + '" cy="' + n(cy) + '" r="' + n(r) + '"/>\n');
    },
    ellipse: function (cx, cy, rx, ry, angle, st) {
      var t = angle ? ' transform="rotate(' + n(angle) + ' ' + n(cx) + ' ' + n(cy) + ')"' : '';
      this.parts.push('<ellipse style="' + stroke_style(st) + '" cx="' + n(cx) + '" cy="' + n(cy) + '" rx="' + n(Math.abs(rx)) +
        '" ry="' + n(Math.abs(ry)) + '"' + t + '/>\n');
    },
    text: function (s, x, y, o) {
      if (s === '' || s === null || s === undefined) return;
      var style = 'font-size:' + n(o.size || 9) + 'px;font-family:' + (o.family || this.family).replace(/[";\\]/g, '') +
        ';fill:' + colour_css(o.colour, lumo.colours.black) + (o.weight ? ';font-weight:' + o.weight : '');
      var t = o.angle ? ' transform="rotate(' + n(o.angle) + ' ' + n(x) + ' ' + n(y) + ')"' : '';
      this.parts.push('<text x="' + n(x) + '" y="' + n(y) + '" style="' + style + '" text-anchor="' +
        (halign[o.halign] || 'start') + '" dominant-baseline="' + (valign[o.valign] || 'text-before-edge') + '"' + t + '>' +
        attr(String(s)) + '</text>\n');
    },
    // Markers are the defs' 4x4 shapes placed 2 units up and left of the point.
    marker: function (kind, x, y, st) {
      if (!isFinite(x) || !isFinite(y)) return;
      var id = { cross: 'cross', plus: 'plus', triangle: 'triangle', circle: 'circle' }[kind] || 'cross';
      this.parts.push('<use xlink:href="#' + id + '" x="' + n(x - 2) + '" y="' + n(y - 2) + '" style="stroke:' +
        colour_css(st.stroke, lumo.colours.black) + '"/>\n');
    },
    push_clip: function (x, y, w, h) {
      var id = 'clip-' + (this.clip_count++);
      this.parts.push('<clipPath id="' + id + '"><rect style="fill:none" x="' + n(x) + '" y="' + n(y) + '" width="' +
        n(Math.max(0, w)) + '" height="' + n(Math.max(0, h)) + '"/></clipPath>\n<g clip-path="url(#' + id + ')">\n');
      this.open_groups++;
    },
    // The reader knows non-negative translations only: others are applied by the caller.
    push_translate: function (x, y) {
      this.parts.push('<g transform="translate(' + n(Math.max(0, x)) + ' ' + n(Math.max(0, y)) + ')">\n');
      this.open_groups++;
    },
    pop: function () {
      if (this.open_groups <= 0) return;
      this.parts.push('</g>\n');
      this.open_groups--;
    },
    // Cell images (fractals) print as filled rects, the only fill the reader knows.
    image_cells: function (cells) {
      for (var i = 0; i < cells.length; ++i) {
        var c = cells[i];
        this.rect(c.x, c.y, c.w, c.h, { fill: c.colour });
      }
    }
  });
})(lumo);
