// text_layer.js: text measurement (canvas metrics in the page, an average-width estimate
// without a DOM) and the multi-line text blocks that regions, legends and read-outs draw.
(function (lumo) {
  'use strict';

  var measureCtx = null;
  lumo.text_width = function (text, size, family) {
    text = String(text);
    size = size || 9;
    var doc = lumo.global.document;
    if (doc && doc.createElement) {
      if (!measureCtx) measureCtx = doc.createElement('canvas').getContext('2d');
      if (measureCtx) {
        measureCtx.font = size + 'px ' + (family || 'sans-serif');
        return measureCtx.measureText(text).width;
      }
    }
    return text.length * size * 0.56;
  };

  // A block of lines drawn from its top-left corner, the text `indent` in from the padding
  // (printed text is trimmed, so room for line samples cannot be made with blanks); returns its
  // size with padding.
  lumo.text_block_size = function (lines, size, family, padding, indent) {
    var w = 0;
    lines.forEach(function (l) { w = Math.max(w, lumo.text_width(l, size, family)); });
    return { w: w + 2 * padding + (indent || 0), h: lines.length * size * 1.3 + 2 * padding, line: size * 1.3 };
  };

  lumo.draw_text_block = function (painter, lines, x, y, o) {
    var pad = o.padding === undefined ? 3 : o.padding;
    var box = lumo.text_block_size(lines, o.size, o.family, pad, o.indent);
    if (o.background || o.border) {
      painter.rect(x, y, box.w, box.h, { fill: o.background || null, stroke: o.border || null, width: 1 });
    }
    lines.forEach(function (l, i) {
      painter.text(l, x + pad + (o.indent || 0), y + pad + i * box.line, { size: o.size, family: o.family, colour: o.colour, halign: 'start', valign: 'top' });
    });
    return box;
  };
})(lumo);
