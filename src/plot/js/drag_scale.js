// drag_scale.js: the scales as controls: dragging a scale moves its range, dragging with the
// shift key stretches it about the press point, a click opens the host's scale menu, a
// double click scales automatically.
(function (lumo) {
  'use strict';

  // The scale whose band around the data area holds (x, y), or null.
  lumo.scale_at = function (plot, x, y) {
    var a = plot.area;
    if (x >= a.left && x <= a.right && y > a.bottom && y <= a.bottom + plot.p.xscaleheight) return plot.scales[0];
    if (y >= a.top && y <= a.bottom && x < a.left && x >= a.left - plot.p.yscalewidth) return plot.scales[1];
    return null;
  };

  lumo.open_scale_menu = function (plot, scale) {
    var a = plot.area;
    var box = scale.is_vertical() ? [a.left - plot.p.yscalewidth, a.top, a.left, a.bottom] : [a.left, a.bottom, a.right, a.bottom + plot.p.xscaleheight];
    lumo.remote('MakeDropMenu', plot.id, scale.index, box[0], box[1], box[2], box[3], scale.is_vertical(), scale.min, scale.max);
  };

  lumo.scale_press = function (plot, x, y, ev) {
    var scale = lumo.scale_at(plot, x, y);
    if (!scale) return null;
    var vertical = scale.is_vertical();
    var start = vertical ? y : x;
    var min0 = scale.min, max0 = scale.max;
    var anchor = scale.from_pix(start);
    var moved = false;
    var stretch = !!ev.shiftKey;
    return {
      cursor: lumo.drag_cursor(vertical ? 'cursor_up_down_move_r' : 'cursor_lr_move_t', vertical ? 'ns-resize' : 'ew-resize'),
      drag: function (px, py) {
        var pos = vertical ? py : px;
        if (Math.abs(pos - start) < 2 && !moved) return;
        moved = true;
        scale.min = min0; scale.max = max0;
        if (stretch) {
          // Keep the anchor under the pointer while the other end stays put.
          var f = Math.exp((vertical ? -(pos - start) : (pos - start)) / 100);
          scale.min = anchor - (anchor - min0) / f;
          scale.max = anchor + (max0 - anchor) / f;
        } else {
          var dv = (pos - start) / scale.get_scaling();
          var r = scale.limit(min0 - dv, max0 - dv);
          scale.min = r[0]; scale.max = r[1];
        }
        plot.redraw();
      },
      end: function () {
        if (!moved) {
          // Wait out the double-click time: a second press scales automatically instead.
          lumo.cancel_timeout(plot.menu_timer);
          if (plot.p.showmenubutton) {
            plot.menu_timer = lumo.timeout(function () { plot.menu_timer = null; lumo.open_scale_menu(plot, scale); }, plot.dblclick_time);
          }
          return;
        }
        var r = scale.limit(scale.min, scale.max);
        scale.min = min0; scale.max = max0;
        plot.zoom_to(vertical ? null : r, vertical ? r : null);
      }
    };
  };
})(lumo);
