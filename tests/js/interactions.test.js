'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

const rec = (name, markup) => ({ property_name: name, markup });
// Plot 640 x 400, data area x 75 to 637 (0 to 10), y 20 to 325 (0 to 10): 56.2 px and 30.5 px per unit.
function plot(env, more) {
  const p = env.lumo.make_plot('local');
  p.setup([rec('topmargin', 20), rec('xscalemin', 0), rec('xscalemax', 10), rec('yscalemin', 0), rec('yscalemax', 10)].concat(more));
  env.proxy.calls.length = 0;
  return p;
}
const X = (v) => 75 + v * 56.2;
const Y = (v) => 325 - v * 30.5;

test('dragging a vertical line reports all values sorted', () => {
  const env = load();
  const p = plot(env, [rec('vlines', { id: 'v', values: [2, 6] })]);
  const v = p.get_plotter('v');
  assert.strictEqual(v.hit(X(4), 100), null);
  const h = v.hit(X(2) + 3, 100);
  h.drag(X(8), 100);
  h.end(X(8), 100);
  const c = env.proxy.named('VLinesDragged');
  assert.strictEqual(c.length, 1);
  assert.strictEqual(c[0][1], 'v');
  assert.ok(Math.abs(c[0][2][0] - 6) < 1e-9 && Math.abs(c[0][2][1] - 8) < 1e-9, String(c[0][2]));
});

test('a box resizes by its edges and moves from inside; the report is x min, x max, y min, y max', () => {
  const env = load();
  const p = plot(env, [rec('box', { id: 'b', xmin: 2, xmax: 4, ymin: 2, ymax: 4 })]);
  const b = p.get_plotter('b');
  let h = b.hit(X(4), Y(3));
  h.drag(X(5), Y(3)); h.end();
  h = b.hit(X(3), Y(3));
  h.drag(X(4), Y(4)); h.end();
  const c = env.proxy.named('BoxResized').map((x) => [x[1], x[2].map((v) => Math.round(v * 1e6) / 1e6)]);
  eq(c, [['b', [2, 5, 2, 4]], ['b', [3, 6, 3, 5]]]);
  assert.strictEqual(b.hit(X(9), Y(9)), null);
});

test('regions move by percent of the data area and report their position', () => {
  const env = load();
  const p = plot(env, [rec('text_region', { id: 'r', text: 'note', x: 10, y: 20 })]);
  const r = p.get_plotter('r');
  const box = r.box();
  eq([box.x, box.y], [75 + 56.2, 20 + 61]);
  const h = r.hit(box.x + 2, box.y + 2);
  h.drag(box.x + 2 + 56.2, box.y + 2 + 30.5);
  h.end();
  const c = env.proxy.named('RegionPosChanged');
  assert.strictEqual(c.length, 1);
  assert.ok(Math.abs(c[0][2] - 20) < 1e-9 && Math.abs(c[0][3] - 30) < 1e-9, String(c[0]));
});

test('a region opens where the host kept it: x_percent and y_percent win over x and y', () => {
  const env = load();
  const p = plot(env, [
    rec('text_region', { id: 'r', text: 'note', x: 10, y: 20, x_percent: 50, y_percent: 40 }),
    rec('legend', { id: 'l', x_percent: 0, y_percent: 100 }),
    rec('text_region', { id: 'old', text: 'x and y alone', x: 10, y: 20 })]);
  const at = (id) => { const b = p.get_plotter(id).box(); return [b.x, b.y]; };
  eq(at('r'), [75 + 5 * 56.2, 20 + 4 * 30.5]);
  // 0 is a position, not an absent one.
  eq(at('l'), [75, 325]);
  eq(at('old'), [75 + 56.2, 20 + 61]);
  eq(env.proxy.named('BadPlotterProperty'), []);
});

test('the cursor snaps to the nearest point, reads it out and reports a click on it', () => {
  const env = load();
  const p = plot(env, [rec('scatter', { id: 's', xdata: [1, 5, 9], ydata: [1, 5, 2], cursor: { readout: 'V {0}, F {1}' } })]);
  const cursor = p.plotters.find((q) => q.kind === 'cursor');
  assert.strictEqual(cursor.p.target, 's');
  p.mouse = { x: X(5) + 2, y: Y(5) + 1 };
  const hit = cursor.point();
  eq([hit.pt.index, hit.pt.x, hit.pt.y], [1, 5, 5]);
  assert.strictEqual(cursor.text(hit), 'V 5, F 5');
  cursor.hit(X(5) + 2, Y(5) + 1, { shiftKey: true }).end();
  eq(env.proxy.named('OnMouseClick'), [['OnMouseClick', 1, 's', true]]);
  p.mouse = { x: X(5) + 20, y: Y(5) };
  assert.strictEqual(cursor.hit(X(5) + 20, Y(5), {}), null);
});

test('a click on a scale opens the host menu after the double-click time; a drag moves the range', () => {
  const env = load({ answers: { HasData: true } });
  const p = plot(env, []);
  p.dblclick_ms(200);
  const h = env.lumo.scale_press(p, X(5), 340, {});
  h.end();
  eq(env.proxy.named('MakeDropMenu'), []);
  assert.strictEqual(env.timers[env.timers.length - 1].ms, 200);
  env.runTimers();
  eq(env.proxy.named('MakeDropMenu'), [['MakeDropMenu', 'local', 0, 75, 325, 637, 400, false, 0, 10]]);
  const v = env.lumo.scale_press(p, 40, Y(5), {});
  v.drag(40, Y(5) - 61);
  v.end();
  const c = env.proxy.named('YScalingChanged');
  assert.strictEqual(c.length, 1);
  assert.ok(Math.abs(c[0][2][0] + 2) < 1e-9 && Math.abs(c[0][2][1] - 8) < 1e-9 && c[0][2][2] === 0, String(c[0][2]));
});

test('the rubber band zooms to the rectangle drawn', () => {
  const env = load();
  const p = plot(env, []);
  const zoom = p.plotters.find((q) => q.kind === 'zoom');
  const h = zoom.rubber_band(X(2), Y(8));
  h.drag(X(4), Y(6));
  h.end();
  const z = env.proxy.named('ZoomLevelChanged')[0][2].map((v) => Math.round(v * 1e9) / 1e9);
  eq(z, [2, 4, 6, 8]);
  env.proxy.calls.length = 0;
  const tiny = zoom.rubber_band(X(2), Y(8));
  tiny.drag(X(2) + 2, Y(8) + 2);
  tiny.end();
  eq(env.proxy.calls, []);
});

test('the drag scroller pans within the full range and reports once on release', () => {
  const env = load();
  const p = plot(env, [rec('fullrange_xscalemin', 0), rec('fullrange_xscalemax', 20), rec('drag_scroller', { id: 'd' })]);
  const d = p.get_plotter('d');
  const h = d.pan(X(5), Y(5));
  h.drag(X(3), Y(5));
  h.drag(X(-20), Y(5));
  eq(env.proxy.named('XScalingChanged'), []);
  h.end();
  eq(env.proxy.named('XScalingChanged'), [['XScalingChanged', 'local', [10, 20, 0]]]);
});
