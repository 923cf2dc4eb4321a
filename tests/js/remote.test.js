'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

test('the stand-in bridge evaluates expressions of t as the host does', () => {
  const { lumo } = load({ withRemote: true });
  const ev = (text, t) => lumo.compile_expression(text)(t || 0);
  const close = (a, b) => Math.abs(a - b) < 1e-12;
  const cases = [['2*t+1', 0.5, 2], ['-7 % 3', 0, 2], ['7 % -3', 0, -2], ['2^3^2', 0, 64], ['-2^2', 0, 4],
    ['round(2.5)', 0, 3], ['round(-2.5)', 0, -2], ['log(100)', 0, 2], ['ln(e)', 0, Math.log(2.71828183)],
    ['sin(pi)', 0, Math.sin(3.14159265)], ['(1+2)*3-4/2', 0, 7], ['sqrt(t)', 16, 4], ['1e3+.5', 0, 1000.5]];
  for (const [text, t, expected] of cases) assert.ok(close(ev(text, t), expected), `${text} = ${ev(text, t)}`);
  for (const bad of ['(1+2', 'sin (t)', 't t', '', 'foo(1)', '2*']) assert.strictEqual(lumo.compile_expression(bad), null, bad);
});

test('a page without the host draws expression data through the stand-in when asked to', () => {
  const env = load({ withRemote: true, proxy: null });
  delete env.context.lumo_proxy;
  const { lumo } = env;
  const p = lumo.make_plot('local');
  p.setup([{ property_name: 'use_js_fake_proxy', markup: true },
    { property_name: 'tplot', markup: { id: 't', xdata: ['interval', 0, 0.5, null, 1], ydata: ['generator', '2*t', ['interval', 0, 0.5, 2, 0]] } }]);
  eq(p.get_plotter('t').p.ydata.values, [0, 1, 2, 3, 4]);
  eq(env.context.lumo_proxy.calls[0], ['RequestPixData', '2*t', 0, 0.5, 5]);
  assert.strictEqual(env.context.lumo_proxy.RequestPixData('$a', 0, 1, 2).every(Number.isNaN), true);
});

test('making a plot again under the same id replaces the earlier one', () => {
  const { lumo } = load();
  const a = lumo.make_plot('local');
  a.setup([{ property_name: 'tplot', markup: { id: 't' } }]);
  const b = lumo.make_plot('local');
  assert.notStrictEqual(a, b);
  assert.strictEqual(lumo.get_plot('local'), b);
  assert.strictEqual(a.plotters.length, 0);
});
