'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

const rec = (name, markup) => ({ property_name: name, markup });
// A host source of `n` samples, value = index, answering like the host (short at the end).
const source = (n, f) => (name, t, step, count) => {
  const out = [];
  for (let i = t; i < Math.min(n, t + count); ++i) out.push(f ? f(i) : i);
  return out;
};

function timePlot(env, y, extra) {
  const p = env.lumo.make_plot('local');
  p.setup([rec('tplot', Object.assign({ id: 'tp', xdata: ['interval', 0, 0.5, null, env.lumo.kOpenInterval], ydata: y }, extra || {}))]);
  return p;
}

test('a finite generator asks from its begin to ceil(end), then closes the series with count 0', () => {
  const env = load({ answers: { RequestPixData: source(1000) } });
  timePlot(env, ['generator', '$a', ['interval', 5, 1, 13.2, env.lumo.kClosedInterval]]);
  eq(env.proxy.named('RequestPixData'), [['RequestPixData', '$a', 5, 1, 10], ['RequestPixData', '$a', 5, 1, 0]]);
  eq(env.lumo.get_plot('local').get_plotter('tp').p.ydata.values, [5, 6, 7, 8, 9, 10, 11, 12, 13, 14]);
});

test('a short answer means the data ends there: no more requests on redraw', () => {
  const env = load({ answers: { RequestPixData: source(8) } });
  const p = timePlot(env, ['generator', '$a', ['interval', 5, 1, 20, env.lumo.kClosedInterval]]);
  p.draw_now(); p.copy('print');
  eq(env.proxy.named('RequestPixData'), [['RequestPixData', '$a', 5, 1, 16], ['RequestPixData', '$a', 5, 1, 0]]);
  const src = p.get_plotter('tp').p.ydata;
  assert.ok(src.ended);
  eq(src.values, [5, 6, 7]);
});

test("the 'end' keyword asks for enough samples to fill the x range, continuing from what is held", () => {
  const env = load({ answers: { RequestPixData: source(100000) } });
  const p = timePlot(env, ['generator', '$a', ['interval', 0, 1, null, env.lumo.kClosedInterval]],
    { });
  env.proxy.calls.length = 0;
  const s = p.get_scales()[0];
  p.zoom_to([0, 10], null);
  p.get_plotter('tp').data();
  // x step 0.5, so x 0 to 10 needs 21 samples; 3 were held from the initial x range 0 to 1.
  eq(env.proxy.named('RequestPixData'), [['RequestPixData', '$a', 3, 1, 18], ['RequestPixData', '$a', 3, 1, 0]]);
  eq([s.min, s.max], [0, 10]);
});

test("the 'begin' keyword starts at the first x of the view over the x step", () => {
  const env = load({ answers: { RequestPixData: source(100000) } });
  const p = env.lumo.make_plot('local');
  p.setup([rec('xscalemin', 4), rec('xscalemax', 6),
    rec('tplot', { id: 'tp', xdata: ['interval', null, 0.5, null, 1], ydata: ['generator', '$a', ['interval', null, 1, 20, 0]] })]);
  eq(env.proxy.named('RequestPixData')[0], ['RequestPixData', '$a', 8, 1, 13]);
});

test('counts stay below 0x7fffffff and requests come in chunks', () => {
  const env = load({ answers: { RequestPixData: () => [] } });
  timePlot(env, ['generator', '$a', ['interval', 0, 1, 1e12, 0]]);
  const c = env.proxy.named('RequestPixData');
  assert.ok(c.length === 2 && c[0][4] < 0x7fffffff && c[0][4] > 0);
  eq(c[1], ['RequestPixData', '$a', 0, 1, 0]);
});

test('answers of the wrong kind or length: extra samples dropped, texts and holes read, non-arrays end the data', () => {
  const env = load({ answers: { RequestPixData: () => [1, '2', null, 'x', 5, 6, 7] } });
  const p = timePlot(env, ['generator', '$a', ['interval', 0, 1, 4, 0]]);
  const v = p.get_plotter('tp').p.ydata.values;
  assert.deepStrictEqual(Array.from(v).map(String), ['1', '2', 'NaN', 'NaN', '5']);
  const env2 = load({ answers: { RequestPixData: () => 42 } });
  const p2 = timePlot(env2, ['generator', '$a', ['interval', 0, 1, 4, 0]]);
  assert.strictEqual(p2.get_plotter('tp').p.ydata.values.length, 0);
  assert.ok(p2.in_error);
  assert.match(p2.error_message, /number/);
});

test('plotter_data_changed pulls the changed range again; an unknown plotter does nothing', () => {
  let base = 0;
  const env = load({ answers: { RequestPixData: (n, t, s, c) => source(10, (i) => i + base)(n, t, s, c) } });
  const p = timePlot(env, ['generator', '$a', ['interval', 0, 1, 9, 0]]);
  env.proxy.calls.length = 0;
  base = 100;
  p.plotter_data_changed('tp', 6, 2);
  p.draw_now();
  p.get_plotter('tp').data();
  eq(env.proxy.named('RequestPixData'), [['RequestPixData', '$a', 6, 1, 4], ['RequestPixData', '$a', 6, 1, 0]]);
  eq(p.get_plotter('tp').p.ydata.values, [0, 1, 2, 3, 4, 5, 106, 107, 108, 109]);
  env.proxy.calls.length = 0;
  assert.doesNotThrow(() => p.plotter_data_changed('nobody', 0, 1));
  eq(env.proxy.calls, []);
});

test('data that grows at the host is pulled after a change past the end', () => {
  let n = 4;
  const env = load({ answers: { RequestPixData: (name, t, s, c) => source(n)(name, t, s, c) } });
  const p = timePlot(env, ['generator', '$a', ['interval', 0, 1, 9, 0]]);
  eq(p.get_plotter('tp').p.ydata.values, [0, 1, 2, 3]);
  n = 10;
  p.plotter_data_changed('tp', 0x7fffffff, 0x7fffffff);
  p.get_plotter('tp').data();
  eq(p.get_plotter('tp').p.ydata.values, [0, 1, 2, 3, 4, 5, 6, 7, 8, 9]);
});

test('text generators ask for labels with the same arguments', () => {
  const env = load({ answers: { RequestLabelsData: (n, t, s, c) => Array.from({ length: c }, (v, i) => 'L' + (t + i)) } });
  const src = env.lumo.map_setting(['text_generator', '$names', new env.lumo.Colour(0, 0, 0, 255)]);
  src.fetch({ all: false, xmax: 3, xstep: 1, xfirst: 0 });
  eq(env.proxy.named('RequestLabelsData'), [['RequestLabelsData', '$names', 0, 1, 4], ['RequestLabelsData', '$names', 0, 1, 0]]);
  eq(src.values, ['L0', 'L1', 'L2', 'L3']);
});

test('HasData is read as "YES" or as a boolean', () => {
  for (const [answer, expected] of [['YES', true], [true, true], [false, false], ['NO', false], ['', false], [undefined, false]]) {
    const env = load({ answers: { HasData: answer } });
    assert.strictEqual(env.lumo.host_has_data(), expected, String(answer));
  }
});

test('bridge methods the host lacks answer "" and calls that throw do not stop the page', () => {
  const env = load({ proxy: { HasData: () => { throw new Error('gone'); } } });
  assert.strictEqual(env.lumo.remote('UpdateProgress', 1, 2), '');
  assert.strictEqual(env.lumo.remote('resource_urls'), '');
  assert.strictEqual(env.lumo.host_has_data(), false);
  const p = env.lumo.make_plot('local');
  assert.doesNotThrow(() => p.setup([rec('tplot', { ydata: ['generator', '$a', ['interval', 0, 1, 9, 0]] })]));
});

test("without data at the host, '$' sources ask nothing and ask again once data came", () => {
  let has = false;
  const env = load({ answers: { HasData: () => has, RequestPixData: source(5) } });
  const p = timePlot(env, ['generator', '$a', ['interval', 0, 1, 4, 0]]);
  eq(env.proxy.named('RequestPixData'), []);
  has = 'YES';
  p.plotter_data_changed('tp', 0, 5);
  p.get_plotter('tp').data();
  eq(p.get_plotter('tp').p.ydata.values, [0, 1, 2, 3, 4]);
});

test("a '$' source with a step other than 1 asks its follow-up data at the next sample index", () => {
  const env = load({ answers: { RequestPixData: source(100000) } });
  const p = timePlot(env, ['generator', '$a', ['interval', 0, 0.25, null, env.lumo.kClosedInterval]]);
  env.proxy.calls.length = 0;
  p.zoom_to([0, 10], null);
  p.get_plotter('tp').data();
  // 3 samples are held from the initial x range: the host reads 't' as a sample position.
  eq(env.proxy.named('RequestPixData'), [['RequestPixData', '$a', 3, 0.25, 18], ['RequestPixData', '$a', 3, 0.25, 0]]);
  eq(p.get_plotter('tp').p.ydata.values.slice(0, 6), [0, 1, 2, 3, 4, 5]);
});
