'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

const rec = (name, markup) => ({ property_name: name, markup });
const ramp = (n) => (name, t, step, count) => Array.from({ length: Math.max(0, Math.min(count, n - t)) }, (v, i) => Math.sin((t + i) / 10));

test('tick steps: the largest 1-2-5 step with enough labels, unless labels would crowd', () => {
  const { lumo } = load();
  const cases = [
    // span, px per unit, min labels, min px, min step -> step
    [10, 56.2, 7, 52, 0, 1],
    [10, 20, 7, 52, 0, 5],
    [10, 56.2, -1, 52, 0, 1],
    [10, 200, -1, 52, 0, 0.5],
    [10, 56.2, 7, 52, 3, 5],
    [0.001, 5e5, 7, 52, 0, 0.0002],
    [0.001, 5e5, 7, 49, 0, 0.0001],
    [2500, 0.2, 7, 22, 0, 200],
    [10, 100, 0, 52, 0, 10]
  ];
  for (const [span, ppu, minLabels, minPx, minStep, expected] of cases) {
    const got = lumo.tick_step(span, ppu, minLabels, minPx, minStep);
    assert.ok(Math.abs(got - expected) < expected * 1e-9, `${span} ${ppu} ${minLabels}: ${got}`);
  }
});

test('scale mapping: pixel = (value - offset) x scaling from the data area edges, y negative', () => {
  const { lumo } = load();
  const p = lumo.make_plot('local');
  p.setup([rec('topmargin', 20), rec('rightmargin', 3), rec('xscalemin', 0), rec('xscalemax', 10), rec('yscalemin', -1), rec('yscalemax', 1)]);
  // Plot 640 x 400: data area x 75 to 637, y 20 to 325.
  eq(p.area, { left: 75, top: 20, right: 637, bottom: 325, width: 562, height: 305 });
  const xs = p.get_x_scaling(), ys = p.get_y_scaling();
  eq([xs.get_offset(), xs.get_scaling(), ys.get_offset(), ys.get_scaling()], [0, 56.2, 1, -152.5]);
  assert.strictEqual(p.get_scales()[0].to_pix(5), 75 + 281);
  assert.strictEqual(p.get_scales()[1].to_pix(0), 20 + 152.5);
  assert.strictEqual(p.get_scales()[1].from_pix(325), -1);
});

test('ticks: majors on multiples of the step, minors past the threshold, none with -1', () => {
  const { lumo } = load();
  const p = lumo.make_plot('local');
  p.set_size(1075, 400);
  p.setup([rec('xscalemin', 0), rec('xscalemax', 10), rec('rightmargin', 0)]);
  const t = p.get_scales()[0].ticks(30);
  eq(t.major, [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10]);
  assert.strictEqual(t.minor.length, 40);
  assert.ok(Math.abs(t.minor[0] - 0.2) < 1e-12);
  p.setup([rec('xscalemin', 0), rec('xscalemax', 10), rec('rightmargin', 0), rec('minortickthreshold', -1)]);
  eq(p.get_scales()[0].ticks(30).minor, []);
  p.setup([rec('xscalemin', 0), rec('xscalemax', 10), rec('rightmargin', 0), rec('xscaleticksmin', 2)]);
  eq(p.get_scales()[0].ticks(30).major, [0, 2, 4, 6, 8, 10]);
});

test('labels keep the significant figures and the digits the step needs, never an exponent', () => {
  const { lumo } = load();
  const f = lumo.format_value;
  eq([f(0.1 + 0.2, 4, 0.1), f(1234.5678, 4, 100), f(0.000123456, 4), f(-2.5, 4, 0.5), f(0, 4, 1), f(12, 4, 2), f(-1e-17, 4, 0.1), f(1500000, 4, 500000)],
    ['0.3', '1235', '0.0001235', '-2.5', '0', '12', '0', '1500000']);
});

test('full-range limits keep user ranges inside', () => {
  const { lumo } = load();
  const p = lumo.make_plot('local');
  p.setup([rec('fullrange_xscalemin', 0), rec('fullrange_xscalemax', 100)]);
  const s = p.get_scales()[0];
  eq([s.limit(-10, 20), s.limit(90, 120), s.limit(-50, 150), s.limit(10, 20)], [[0, 30], [70, 100], [0, 100], [10, 20]]);
  eq([s.min, s.max], [0, 100]);
});

test('initial ranges: given range, else full range, else the data; automatic when asked', () => {
  const { lumo } = load({ answers: { RequestPixData: ramp(100) } });
  const p = lumo.make_plot('local');
  const tp = rec('tplot', { id: 't', xdata: ['interval', 0, 0.1, null, 1], ydata: ['generator', '$a', ['interval', 0, 1, 99, 0]] });
  p.setup([rec('xscalemin', 2), rec('xscalemax', 4), rec('fullrange_xscalemin', 0), rec('fullrange_xscalemax', 50), tp]);
  eq([p.scales[0].min, p.scales[0].max], [2, 4]);
  p.setup([rec('fullrange_xscalemin', 0), rec('fullrange_xscalemax', 50), tp]);
  eq([p.scales[0].min, p.scales[0].max], [0, 50]);
  p.setup([tp]);
  assert.strictEqual(p.scales[0].min, 0);
  assert.ok(Math.abs(p.scales[0].max - 9.9) < 1e-9);
  p.setup([rec('xscalemin', 2), rec('xscalemax', 4), rec('do_initial_autoscale_x', true), tp]);
  assert.ok(Math.abs(p.scales[0].max - 9.9) < 1e-9);
});

test('auto_scale runs after 50 ms and reports the range with a trailing 1.0', () => {
  const env = load({ answers: { RequestPixData: ramp(100) } });
  const p = env.lumo.make_plot('local');
  p.setup([rec('yscalemin', -5), rec('yscalemax', 5), rec('tplot', { id: 't', xdata: ['interval', 0, 1, null, 1], ydata: ['generator', '$a', ['interval', 0, 1, 99, 0]] })]);
  env.proxy.calls.length = 0;
  p.get_scales()[1].auto_scale();
  eq(env.proxy.named('YScalingChanged'), []);
  assert.strictEqual(env.timers[env.timers.length - 1].ms, 50);
  env.runTimers();
  const c = env.proxy.named('YScalingChanged');
  assert.strictEqual(c.length, 1);
  assert.strictEqual(c[0][1], 'local');
  const [lo, hi, flag] = c[0][2];
  assert.strictEqual(flag, 1.0);
  // sin over 0..9.9 rad: extremes -1 and 1 (to 3 places), padded by 5 % of the span.
  assert.ok(Math.abs(lo + 1.1) < 2e-3 && Math.abs(hi - 1.1) < 2e-3, `${lo} ${hi}`);
});

test('a zoom reports the scalings with 0.0, then SetZoomState, then ZoomLevelChanged; undo and redo', () => {
  const env = load();
  const p = env.lumo.make_plot('local');
  p.setup([rec('xscalemin', 0), rec('xscalemax', 10), rec('yscalemin', 0), rec('yscalemax', 1)]);
  env.proxy.calls.length = 0;
  p.zoom_to([2, 4], [0.5, 1]);
  eq(env.proxy.calls, [
    ['XScalingChanged', 'local', [2, 4, 0]],
    ['YScalingChanged', 'local', [0.5, 1, 0]],
    ['SetZoomState', 'local', true, false],
    ['ZoomLevelChanged', 'local', [2, 4, 0.5, 1]]
  ]);
  const zoom = p.plotters.find((q) => q.kind === 'zoom');
  env.proxy.calls.length = 0;
  zoom.undo();
  eq(env.proxy.named('SetZoomState'), [['SetZoomState', 'local', false, true]]);
  eq(env.proxy.named('ZoomLevelChanged'), [['ZoomLevelChanged', 'local', [0, 10, 0, 1]]]);
  zoom.redo();
  eq([p.scales[0].min, p.scales[0].max], [2, 4]);
  zoom.zoom_about(null, null, 0.5, false);
  eq([p.scales[0].min, p.scales[0].max], [2.5, 3.5]);
  assert.strictEqual(zoom.can_redo(), false);
});

test('one min/max pair per pixel column, in sample order; NaN leaves a gap', () => {
  const { lumo } = load();
  const p = lumo.make_plot('local');
  const xs = p.scales[0], ys = p.scales[1];
  xs.set_pixels(0, 10); xs.set_range(0, 10);
  ys.set_pixels(0, 10); ys.set_range(0, 10);
  const v = [0, 5, 2, 1, 3, 3, 3, 3, NaN, 1, Infinity, 4, 8, 6];
  const segs = lumo.column_reduce((i) => i * 0.25, v, 0, v.length - 1, xs, ys);
  eq(segs, [[0.5, 10, 0.5, 5, 1.5, 7], [2.25, 9, 3.25, 9], [2.75, 6, 3.5, 2, 3.5, 4]]);
});

test('a million samples reduce to at most two points per column', () => {
  const { lumo } = load();
  const p = lumo.make_plot('local');
  const xs = p.scales[0], ys = p.scales[1];
  xs.set_pixels(0, 800); xs.set_range(0, 1e6);
  ys.set_pixels(0, 400); ys.set_range(-1, 1);
  const v = new Float64Array(1e6).map((x, i) => Math.sin(i / 1000));
  const segs = lumo.column_reduce((i) => i, v, 0, v.length - 1, xs, ys);
  assert.strictEqual(segs.length, 1);
  assert.ok(segs[0].length / 2 <= 1600 && segs[0].length / 2 >= 800);
});
