// text_region.js: boxes placed over the data area at a position in percent of it. `Region`
// is the movable box (RegionPosChanged on release); `TextRegion` shows a text the user may
// edit with a double click (RegionTextChanged). Where the user left a box comes back from the
// host as x_percent and y_percent, which win over the x and y the markup gives.
(function (lumo) {
  'use strict';


  lumo.def('Region', 'Plotter', {
    default_z: lumo.kAnnotations,
    default_colour: function () { return lumo.colours.black; },
    region_props: function (x, y) {
      return {
        x: lumo.props.num(x), y: lumo.props.num(y),
        x_percent: lumo.props.nnum(), y_percent: lumo.props.nnum(),
        fontsize: lumo.prop('number', null, { nullable: true, min: 0 }),
        background: lumo.prop('colour', new lumo.Colour(255, 255, 255, 220)),
        border: lumo.props.bool(true),
        draggable: lumo.props.bool(true)
      };
    },
    configure: function () {
      var p = this.p;
      this.pos = { x: p.x_percent !== null ? p.x_percent : p.x, y: p.y_percent !== null ? p.y_percent : p.y };
    },
    font_size: function () { return this.p.fontsize === null ? this.plot.p.canvas_fontsize + 2 : this.p.fontsize; },
    lines: function () { return []; },
    indent: function () { return 0; },
    box: function () {
      var a = this.plot.area;
      var size = lumo.text_block_size(this.lines(), this.font_size(), this.plot.p.fontfamily, 4, this.indent());
      return { x: a.left + a.width * this.pos.x / 100, y: a.top + a.height * this.pos.y / 100, w: size.w, h: size.h };
    },
    inside: function (x, y) {
      var b = this.box();
      return x >= b.x && x <= b.x + b.w && y >= b.y && y <= b.y + b.h;
    },
    draw: function (painter) {
      var b = this.box();
      // The print reader translates by non-negative offsets only, which a box inside the plot has.
      painter.push_translate(b.x, b.y);
      try {
        this.draw_content(painter, b);
      } finally {
        painter.pop();
      }
    },
    draw_content: function (painter, b) {
      lumo.draw_text_block(painter, this.lines(), 0, 0, {
        size: this.font_size(), family: this.plot.p.fontfamily, colour: this.p.colour, padding: 4, indent: this.indent(),
        background: this.p.background, border: this.p.border ? new lumo.Colour(120, 120, 120, 255) : null
      });
      return b;
    },
    hover_cursor: function (x, y) { return this.p.draggable && this.inside(x, y) ? 'move' : ''; },
    hit: function (x, y) {
      if (!this.p.draggable || !this.inside(x, y)) return null;
      var self = this, plot = this.plot;
      var start = { x: x, y: y, px: this.pos.x, py: this.pos.y };
      return {
        cursor: 'move',
        drag: function (mx, my) {
          var a = plot.area;
          self.pos.x = lumo.clamp(start.px + (mx - start.x) / a.width * 100, 0, 100);
          self.pos.y = lumo.clamp(start.py + (my - start.y) / a.height * 100, 0, 100);
          plot.draw_annotations();
        },
        end: function () {
          if (self.pos.x !== start.px || self.pos.y !== start.py) lumo.remote('RegionPosChanged', self.id, self.pos.x, self.pos.y);
        }
      };
    }
  });

  lumo.def('TextRegion', 'Region', {
    own_props: function () {
      return lumo.merge(this.region_props(5, 5), { text: lumo.prop('string', ''), editable: lumo.props.bool(true) });
    },
    configure: function () {
      lumo.cls('Region').prototype.configure.call(this);
      this.text = this.p.text;
    },
    lines: function () { return String(this.text).split(/\r?\n/); },
    dblclick: function (x, y) {
      if (!this.p.editable || !this.inside(x, y) || !this.plot.element) return false;
      this.edit();
      return true;
    },
    // Edits the text in place; Enter without shift or leaving the field commits it.
    edit: function () {
      var $ = lumo.global.jQuery;
      var self = this, plot = this.plot;
      var b = this.box();
      var ta = $('<textarea class="lumo-region-edit"></textarea>').val(this.text)
        .css({ left: b.x + 'px', top: b.y + 'px', width: Math.max(120, b.w) + 'px', height: Math.max(40, b.h) + 'px' })
        .appendTo(plot.element);
      var done = false;
      var commit = function () {
        if (done) return;
        done = true;
        var text = ta.val();
        ta.remove();
        if (text !== self.text) {
          self.text = text;
          lumo.remote('RegionTextChanged', self.id, text);
        }
        plot.draw_annotations();
      };
      ta.on('blur', commit).on('keydown', function (ev) {
        if (ev.key === 'Enter' && !ev.shiftKey) { ev.preventDefault(); commit(); }
        if (ev.key === 'Escape') { done = true; ta.remove(); }
      });
      ta.trigger('focus');
    }
  });
  lumo.register_plotter(['text_region'], 'TextRegion');
})(lumo);
