'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

const rec = (name, markup) => ({ property_name: name, markup });

test('the first pass merges unnamed records and plot properties; plotter records are skipped', () => {
  const { lumo } = load();
  const literal = [{ a: 1, b: 2 }, rec('topmargin', 20), rec('tplot', { id: 't' }), rec('b', 5)];
  eq(lumo.shared_properties(literal), { a: 1, b: 5, topmargin: 20 });
});

test('setup makes the plotters of registered kinds, a default graticule and the zoom panel', () => {
  const { lumo, proxy } = load();
  const p = lumo.make_plot('local');
  p.setup([rec('rightmargin', 40), rec('tplot', { id: 'flow' }), rec('nosuchkind', { id: 'x' }), rec('xy', { id: 's' })]);
  eq(p.plotters.map((q) => [q.id, q.kind]),
    [['flow', 'tplot'], ['s', 'xy'], ['plotter-0', 'grat'], ['plotter-1', 'zoom']]);
  assert.strictEqual(p.p.rightmargin, 40);
  assert.strictEqual(p.shared.nosuchkind.id, 'x');
  assert.strictEqual(proxy.named('BadPlotterProperty').length, 0);
  assert.strictEqual(p.in_error, false);
});

test('a graticule record with null markup means no graticule; one with markup is the only one', () => {
  const { lumo } = load();
  const p = lumo.make_plot('local');
  p.setup([rec('graticule', null)]);
  eq(p.plotters.map((q) => q.kind), ['zoom']);
  p.setup([rec('grat', { style: 'dashed', colour: new lumo.Colour(1, 2, 3, 255) })]);
  const grats = p.plotters.filter((q) => q.kind === 'grat');
  assert.strictEqual(grats.length, 1);
  assert.strictEqual(grats[0].p.style, 'dashed');
  assert.strictEqual(grats[0].p.colour.hex(), '#010203');
});

test('plotter settings are the shared properties overlaid by the record', () => {
  const { lumo } = load();
  const p = lumo.make_plot('local');
  const red = new lumo.Colour(255, 0, 0, 255);
  p.setup([rec('colour', red), rec('linewidth', 3), rec('tplot', { id: 'a', linewidth: 2 }), rec('tplot', { id: 'b' })]);
  assert.strictEqual(p.get_plotter('a').p.linewidth, 2);
  assert.strictEqual(p.get_plotter('b').p.linewidth, 3);
  assert.strictEqual(p.get_plotter('b').p.colour, red);
});

test('generated plotter ids run on through the page and skip ids in use', () => {
  const { lumo } = load();
  const p = lumo.make_plot('local');
  p.setup([rec('tplot', { id: 'plotter-0' }), rec('tplot', {}), rec('tplot', { id: 'plotter-2' }), rec('vlines', {})]);
  eq(p.plotters.map((q) => q.id), ['plotter-0', 'plotter-1', 'plotter-2', 'plotter-3', 'plotter-4', 'plotter-5']);
  const q = lumo.make_plot('other');
  q.setup([]);
  eq(q.plotters.map((x) => x.id), ['plotter-6', 'plotter-7']);
});

test('settings map to intervals, generators, text generators and arrays', () => {
  const { lumo } = load();
  const m = (v, kind, name) => lumo.map_setting(v, kind, name);
  const iv = m(['interval', 0, 0.01, null, lumo.kOpenInterval]);
  assert.ok(iv instanceof lumo.PixInterval);
  eq([iv.begin, iv.step, iv.end, iv.type], [0, 0.01, null, lumo.kOpenInterval]);
  const g = m(['generator', '$flow', ['interval', 5, 1, 9, lumo.kClosedInterval]]);
  assert.ok(g instanceof lumo.PixEnum && !g.is_text);
  eq([g.name, g.interval.begin, g.interval.end], ['$flow', 5, 9]);
  const tg = m(['text_generator', '$labels', new lumo.Colour(0, 0, 0, 255)]);
  assert.ok(tg.is_text);
  eq([tg.interval.begin, tg.interval.step, tg.interval.end, tg.interval.type], [0, 1, null, lumo.kClosedInterval]);
  const a = m([1, 2, 3]);
  assert.ok(a instanceof lumo.PixArray);
  eq(a.values, [1, 2, 3]);
  const nested = m([[1, 2], [3]]);
  assert.ok(Array.isArray(nested) && nested[0] instanceof lumo.PixArray && nested[1].values[0] === 3);
  const colours = m([new lumo.Colour(1, 1, 1, 255), new lumo.Colour(2, 2, 2, 255)]);
  assert.ok(Array.isArray(colours) && colours[1].r === 2);
  assert.ok(Array.isArray(m(['a', 'b'], 'bar', 'titles')));
  assert.ok(Array.isArray(m(['a', 'b'], 'bar', 'xlabels')));
  assert.ok(m(['a', 'b'], 'bar', 'data') instanceof lumo.PixArray);
  assert.ok(Array.isArray(m([['x', 1]], 'legend', 'entries')));
  // An interval of sampled data has an empty body: it fails its check later, it does not throw.
  assert.strictEqual(m(['interval', , lumo.kOpenInterval]).is_valid(), false); // eslint-disable-line no-sparse-arrays
});

test('interactive settings are not mapped', () => {
  const { lumo } = load();
  const s = lumo.map_settings({ interactive: true, values: [1, 2] }, 'vlines');
  assert.ok(Array.isArray(s.values));
});

test('set_markup hands the markup to the host; make_plot with markup does it at once', () => {
  const { lumo, proxy } = load();
  const p = lumo.make_plot('local', "tplot: {id: 'a'}");
  eq(proxy.named('CompileMarkup'), [['CompileMarkup', 'local', "tplot: {id: 'a'}"]]);
  assert.strictEqual(lumo.get_plot('local'), p);
  assert.strictEqual(lumo.get_plot('nothing'), undefined);
  assert.strictEqual(p.dblclick_ms(200), p);
  assert.strictEqual(p.dblclick_ms(), 200);
});

test('bad setup literals keep the page working and report through the error display', () => {
  const { lumo } = load();
  const p = lumo.make_plot('local');
  assert.doesNotThrow(() => p.setup('not an array'));
  assert.doesNotThrow(() => p.setup([null, 5, 'x', rec('tplot', 7)]));
  assert.ok(p.in_error);
  assert.match(p.error_message, /<em>tplot<\/em> plotter must be described by an object/);
  p.setup([rec('tplot', {})]);
  assert.strictEqual(p.in_error, false);
});

test('every registered name makes its plotter kind', () => {
  const { lumo } = load();
  const names = ['timeplot', 'tplot', 'histogram', 'hist', 'bar', 'box', 'cursor', 'drag_scroller', 'ellipse',
    'fractal', 'frac', 'graticule', 'grat', 'legend', 'scatter', 'xy', 'text_region', 'vlines', 'zoom'];
  const p = lumo.make_plot('local');
  for (const n of names) {
    p.setup([rec(n, { id: 'k' })]);
    assert.ok(p.get_plotter('k'), n);
    assert.doesNotThrow(() => p.copy('print'), n);
    assert.strictEqual(p.in_error, false, n + ': ' + p.error_message);
  }
});

test('an error shown while the markup is compiled ends the loading indicator', () => {
  const { lumo, runTimers } = load();
  const p = lumo.make_plot('local');
  // A page element of its own, with the indicator and the error display recorded.
  const shown = [];
  p.element = {};
  lumo.show_throbber = () => shown.push('throbber');
  lumo.hide_throbber = () => {};
  lumo.show_error_div = (element, html) => shown.push('error ' + html);
  p.set_markup('a: ::');
  p.show_error('Syntax error on line 1');
  runTimers();
  eq(shown, ['error Syntax error on line 1']);
  assert.ok(p.in_error);
});
