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

  // The menu button opens the host's menu of the y scale; it sits in the scale's top corner.
  lumo.make_menu_button = function (plot) {
    var b = lumo.make('Button', plot, '\u2261', 'Scale menu', function () { lumo.open_scale_menu(plot, plot.scales[1]); });
    b.update = function () {
      b.set_visible(plot.p.showmenubutton && plot.is_set_up);
      b.place(Math.max(0, plot.area.left - 22), Math.max(0, plot.area.top - 20));
    };
    return b;
  };
})(lumo);
