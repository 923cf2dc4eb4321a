'use strict';
// The plot's buttons keep clear of the scales' texts and the data: a top margin too narrow for
// the menu button beside the top label sends it elsewhere; the zoom buttons use the margin.
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

const rec = (name, markup) => ({ property_name: name, markup });

function overlapping(spot, boxes) {
  return boxes.filter((b) => spot.x < b.right && b.left < spot.x + 20 && spot.y < b.bottom && b.top < spot.y + 20);
}

// A plot laid out and painted as the page would, for its scale texts.
function painted(lumo, w, h, props) {
  const p = lumo.make_plot('local');
  p.set_size(w, h);
  p.setup(props.map(([n, v]) => rec(n, v)));
  const svg = lumo.make('SvgPainter', w, h, 'sans-serif');
  svg.start();
  p.paint_all(svg);
  svg.finish();
  return p;
}

test('the menu button stays in the y scale top corner when the top margin leaves room', () => {
  const { lumo } = load();
  const p = painted(lumo, 600, 500, [['topmargin', 40], ['yscalemin', -8.4], ['yscalemax', 4.2], ['xscalemin', 0], ['xscalemax', 4]]);
  const spot = lumo.menu_button_spot(p.area, p.scale_text_boxes);
  eq(spot, { x: p.area.left - 22, y: p.area.top - 20 });
  eq(overlapping(spot, p.scale_text_boxes), []);
});

test('a top label at the edge of a narrow top margin moves the menu button off it', () => {
  const { lumo } = load();
  for (const [lo, hi] of [[-8, 4], [-8e6, 4e6], [-0.5, 4]]) {
    const p = painted(lumo, 800, 300, [['topmargin', 20], ['rightmargin', 40], ['yscalemin', lo], ['yscalemax', hi],
      ['xscalemin', 3], ['xscalemax', 84]]);
    const top = p.scale_text_boxes.filter((b) => b.top < p.area.top && b.right <= p.area.left);
    assert.ok(top.length > 0, `${hi}: a label at the data area's top edge`);
    const spot = lumo.menu_button_spot(p.area, p.scale_text_boxes);
    eq(overlapping(spot, p.scale_text_boxes), [], `${lo} to ${hi}: ${JSON.stringify(spot)}`);
    assert.notDeepStrictEqual(spot, { x: p.area.left - 22, y: 0 });
  }
});

test('the spots are tried in order, and with none free the top corner is kept', () => {
  const { lumo } = load();
  const area = { left: 75, top: 20, right: 760, bottom: 225, width: 685, height: 205 };
  const topLabel = { left: 60, top: 14, right: 66, bottom: 26 };
  eq(lumo.menu_button_spot(area, [topLabel]), { x: 38, y: 0 });
  const wide = { left: 15, top: 14, right: 66, bottom: 26 };
  eq(lumo.menu_button_spot(area, [wide]), { x: 53, y: 227 });
  const belowToo = { left: 0, top: 226, right: 80, bottom: 240 };
  eq(lumo.menu_button_spot(area, [wide, belowToo]), { x: 53, y: 0 });
});

test('the zoom buttons sit in an untitled top margin of 20 pixels or more, else inside the data area', () => {
  const { lumo } = load();
  const area = (top) => ({ left: 75, top, right: 760, bottom: 225, width: 685, height: 225 - top });
  assert.strictEqual(lumo.zoom_buttons_top(area(20), false), 0);
  assert.strictEqual(lumo.zoom_buttons_top(area(40), false), 20);
  assert.strictEqual(lumo.zoom_buttons_top(area(19), false), 22);
  assert.strictEqual(lumo.zoom_buttons_top(area(38), true), 41);
});
