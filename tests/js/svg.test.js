'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');
const { check } = require('./printable_svg.js');

const rec = (name, markup) => ({ property_name: name, markup });
const sine = (n, gapEvery) => (name, t, step, count) => Array.from({ length: Math.max(0, Math.min(count, n - t)) },
  (v, i) => (gapEvery && (t + i) % gapEvery === gapEvery - 1 ? NaN : Math.sin((t + i) / 1000)));

test('copy draws the plot into SVG and hands it to the host with the plot id and kind', () => {
  const env = load();
  const p = env.lumo.make_plot('local');
  p.setup([rec('xlabel', 'Time (s)'), rec('ylabel', 'Flow (L/s)'), rec('title', 'A <b> & "c"')]);
  const svg = p.copy('print');
  const c = env.proxy.named('SetSVG');
  eq(c.map((x) => x.slice(0, 3)), [['SetSVG', 'local', 'print']]);
  assert.strictEqual(c[0][3], svg);
  eq(check(svg), []);
  assert.match(svg, /<text [^>]*transform="rotate\(-90 [\d.]+ [\d.]+\)"[^>]*>Flow \(L\/s\)<\/text>/);
  assert.match(svg, />A &lt;b&gt; &amp; &quot;c&quot;</);
  assert.match(svg, /<defs>\n<path id="cross"[^]*<path id="plus"[^]*<path id="triangle"[^]*<circle id="circle"[^]*<\/defs>/);
});

test('plotters print in z order, ties in order of creation, then the scales', () => {
  const env = load();
  const p = env.lumo.make_plot('local');
  const col = (r) => new env.lumo.Colour(r, 0, 0, 255);
  p.setup([rec('xscalemin', 0), rec('xscalemax', 10), rec('yscalemin', 0), rec('yscalemax', 10),
    rec('vlines', { id: 'top', values: [1], colour: col(1), z: 300 }),
    rec('vlines', { id: 'a', values: [2], colour: col(2), z: 45 }),
    rec('vlines', { id: 'b', values: [3], colour: col(3), z: 45 }),
    rec('vlines', { id: 'low', values: [4], colour: col(4), z: 5 })]);
  const svg = p.copy('print');
  const order = ['#040000', '#020000', '#030000', '#010000'].map((c) => svg.indexOf('stroke:' + c));
  assert.ok(order.every((v, i) => v > 0 && (i === 0 || v > order[i - 1])), String(order));
  assert.ok(svg.lastIndexOf('<text') > order[3]);
});

test('a time plot of a million samples prints small, one min/max pair per paper column, NaN as gaps', () => {
  const env = load({ answers: { RequestPixData: sine(1000000, 250000) } });
  const p = env.lumo.make_plot('local');
  p.setup([rec('tplot', { id: 't', xdata: ['interval', 0, 0.001, null, 1], ydata: ['generator', '$a', ['interval', 0, 1, 999999, 0]] })]);
  const points = (svg) => {
    const trace = svg.match(/<path style="fill:none;stroke:#1f77b4[^"]*" d="([^"]*)"/)[1];
    return { moves: (trace.match(/M/g) || []).length, all: (trace.match(/[ML]/g) || []).length };
  };
  const svg = p.copy('print');
  eq(check(svg), []);
  assert.ok(svg.length < 1e6, `${svg.length} bytes`);
  // Print has the paper's columns, four to a pixel: no stair steps of the screen's pixels.
  const printed = points(svg);
  assert.strictEqual(printed.moves, 4);
  assert.ok(printed.all <= 2 * env.lumo.kPrintColumnsPerPixel * p.area.width + 8, String(printed.all));
  assert.ok(printed.all > 2 * (env.lumo.kPrintColumnsPerPixel - 1) * p.area.width, String(printed.all));
  // The x of every point stays on the plot: the columns come back to its pixels.
  const xs = svg.match(/<path style="fill:none;stroke:#1f77b4[^"]*" d="([^"]*)"/)[1].match(/[ML][-\d.]+/g).map((t) => +t.slice(1));
  assert.ok(Math.min(...xs) >= p.area.left - 1 && Math.max(...xs) <= p.area.right + 1, `${Math.min(...xs)} ${Math.max(...xs)}`);
  // Other copies keep the screen's columns.
  const copied = points(p.copy('copy'));
  assert.strictEqual(copied.moves, 4);
  assert.ok(copied.all <= 2 * p.area.width + 8, String(copied.all));
});

test('an empty plot and a plot without data still print valid SVG', () => {
  const env = load({ answers: { RequestPixData: () => [] } });
  const p = env.lumo.make_plot('local');
  p.setup([]);
  eq(check(p.copy('print')), []);
  p.setup([rec('tplot', { ydata: ['generator', '$a', ['interval', 0, 1, 10, 0]] }), rec('scatter', {})]);
  eq(check(p.copy('print')), []);
});

test('every plotter kind prints within the subset', () => {
  const env = load({ answers: { RequestPixData: sine(2000) } });
  const L = env.lumo;
  const p = L.make_plot('local');
  const gen = (end) => ['generator', '$a', ['interval', 0, 1, end, 0]];
  p.setup([rec('xscalemin', -3), rec('xscalemax', 3), rec('yscalemin', -2), rec('yscalemax', 2), rec('title', 'All'),
    rec('grat', { style: 'dashed' }),
    rec('tplot', { id: 't', xdata: ['interval', -3, 0.003, null, 1], ydata: gen(1999), show_points: true, marker: 'triangle' }),
    rec('scatter', { id: 's', xdata: gen(99), ydata: gen(99), show_lines: true, marker: 'circle' }),
    rec('histogram', { data: gen(999), bins: 10 }),
    rec('bar', { data: [1, -1, 0.5], xlabels: ['a', 'b', 'c'] }),
    rec('box', { xmin: -1, xmax: 1, ymin: -1, ymax: 1 }),
    rec('ellipse', { cx: 0, cy: 0, rx: 1, ry: 0.5, angle: 30 }),
    rec('fractal', { iterations: 20 }),
    rec('vlines', { values: [0.5, -0.5], style: 'dashed', labels: true }),
    rec('text_region', { text: 'line one\nline two', x: 10, y: 10 }),
    rec('legend', {}),
    rec('drag_scroller', {}),
    rec('cursor', {})]);
  assert.strictEqual(p.in_error, false, p.error_message);
  const svg = p.copy('print');
  eq(check(svg), []);
  assert.match(svg, /<g transform="translate\([\d.]+ [\d.]+\)">\n<rect/);
  assert.match(svg, /<line [^>]*stroke-dasharray:3,3"/);
  assert.match(svg, /<use xlink:href="#triangle" x="[\d.]+" y="[\d.]+" style="stroke:#[0-9a-f]{6}"\/>/);
  assert.match(svg, /<ellipse [^>]*transform="rotate\(-?[\d.]+ [\d.]+ [\d.]+\)"/);
  assert.match(svg, /<text [^>]*>line two<\/text>/);
});

test('a marker sits 2 units up and left of its point; translations never go negative', () => {
  const { lumo } = load();
  const svg = lumo.make('SvgPainter', 100, 100, 'sans-serif');
  svg.start();
  svg.marker('plus', 10, 20, { stroke: new lumo.Colour(255, 0, 0, 128) });
  svg.push_translate(-5, 3.5);
  svg.polyline([[0, 0, 1e30, -1e-9, NaN, 5]], { stroke: lumo.colours.black, width: 1 });
  const text = svg.finish();
  assert.match(text, /<use xlink:href="#plus" x="8" y="18" style="stroke:rgba\(255,0,0,0.502\)"\/>/);
  assert.match(text, /<g transform="translate\(0 3.5\)">/);
  assert.match(text, /d="M0 0 L1000000000 0 L0 5"/);
  eq(check(text), []);
});
