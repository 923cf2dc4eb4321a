// button.js: small HTML buttons laid over the plot (zoom panel, menu button).
(function (lumo) {
  'use strict';

  lumo.def('Button', null, {
    init: function (plot, label, title, action) {
      var $ = lumo.global.jQuery;
      var self = this;
      this.enabled = true;
      this.el = $('<div class="lumo-button"></div>').text(label).attr('title', title).appendTo(plot.element);
      this.el.on('mousedown', function (ev) { ev.stopPropagation(); return false; });
      this.el.on('click', function (ev) {
        ev.stopPropagation();
        if (self.enabled) lumo.guard(plot, action);
        return false;
      });
    },
    place: function (x, y) { this.el.css({ left: x + 'px', top: y + 'px' }); },
    set_enabled: function (on) { this.enabled = !!on; this.el.toggleClass('lumo-disabled', !on); },
    set_visible: function (on) { this.el.css('display', on ? 'block' : 'none'); },
    remove: function () { this.el.remove(); }
  });

  var kButtonSize = 20;  // 18 pixels inside a 1-pixel border

  function overlaps(a, b) { return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom; }

  // Where the menu button covers none of the scales' texts: the y scale's top corner; when a
  // narrow top margin puts the top label there, the corner left of the labels, then the corner
  // below the y scale. With no free spot it stays in the top corner.
  lumo.menu_button_spot = function (area, textBoxes) {
    var boxes = textBoxes || [];
    var leftmost = boxes.reduce(function (m, b) { return b.top < area.top + kButtonSize ? Math.min(m, b.left) : m; }, area.left);
    var spots = [
      { x: Math.max(0, area.left - 22), y: Math.max(0, area.top - 20) },
      { x: Math.max(0, leftmost - 2 - kButtonSize), y: Math.max(0, area.top - 20) },
      { x: Math.max(0, area.left - 22), y: area.bottom + 2 }
    ];
    var free = spots.filter(function (s) {
      var box = { left: s.x, top: s.y, right: s.x + kButtonSize, bottom: s.y + kButtonSize };
      return !boxes.some(function (b) { return overlaps(box, b); });
    });
    return free.length ? free[0] : spots[0];
  };

  // The menu button opens the host's menu of the y scale; it sits in the scale's top corner.
  lumo.make_menu_button = function (plot) {
    var b = lumo.make('Button', plot, '\u2261', 'Scale menu', function () { lumo.open_scale_menu(plot, plot.scales[1]); });
    b.update = function () {
      b.set_visible(plot.p.showmenubutton && plot.is_set_up);
      var spot = lumo.menu_button_spot(plot.area, plot.scale_text_boxes);
      b.place(spot.x, spot.y);
    };
    return b;
  };
})(lumo);
