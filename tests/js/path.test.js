'use strict';
// A host that reduces a long XY line to the points its drawing keeps gives the same picture
// and ranges as a host that hands over every point; the page asks again at a new mapping, and
// pulls the points themselves only when the cursor needs them.
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

const rec = (name, markup) => ({ property_name: name, markup });
const N = 300000;
// Loops of breathing (volume against flow) with a burst of NaN, a lone infinity, points far
// out and a stretch that stays on one spot.
const volume = Float32Array.from({ length: N }, (v, i) => {
  if (i === 77777) return Infinity;
  if (i >= 200000 && i < 201000) return 2.5;
  return 2 + 1.5 * Math.sin(i / 9000) + 0.0002 * Math.sin(i / 3);
});
const flow = Float32Array.from({ length: N }, (v, i) => {
  if (i >= 120000 && i < 120400) return NaN;
  if (i === 150000) return 1e12;
  if (i >= 200000 && i < 201000) return -1;
  return 6 * Math.cos(i / 9000) + 0.001 * Math.cos(i / 5);
});
const sources = { $vol: volume, $flow: flow };

const slice = (name, t, count) => (sources[name] || new Float32Array(0)).subarray(Math.max(0, t), Math.max(0, Math.min(N, t + count)));

// What the host keeps (as PixPath does): each point the line keeps, one NaN pair a gap, with the
// count read and the finite points' ranges first.
function hostPath(xName, yName, start, count, lastX, lastY, xo, xoff, xk, yo, yoff, yk) {
  const xs = slice(xName, start, count), ys = slice(yName, start, count);
  const n = Math.min(xs.length, ys.length);
  const out = [n, Infinity, -Infinity, Infinity, -Infinity];
  const pix = (x, y) => [xo + (x - xoff) * xk, yo + (y - yoff) * yk];
  const breaks = (p) => !Number.isFinite(p[0]) || !Number.isFinite(p[1]) || Math.abs(p[0]) > 1e6 || Math.abs(p[1]) > 1e6;
  let last = Number.isNaN(lastX) || Number.isNaN(lastY) ? null : pix(lastX, lastY);
  if (last && breaks(last)) last = null;
  let gapLast = false;
  for (let k = 0; k < n; ++k) {
    const x = xs[k], y = ys[k];
    if (Number.isFinite(x) && Number.isFinite(y)) {
      out[1] = Math.min(out[1], x); out[2] = Math.max(out[2], x);
      out[3] = Math.min(out[3], y); out[4] = Math.max(out[4], y);
    }
    const p = pix(x, y);
    if (breaks(p)) {
      if (!gapLast) out.push(NaN, NaN);
      gapLast = true;
      last = null;
      continue;
    }
    if (last && Math.abs(last[0] - p[0]) < 0.1 && Math.abs(last[1] - p[1]) < 0.1) continue;
    out.push(x, y);
    last = p;
    gapLast = false;
  }
  if (!(out[1] <= out[2])) out.fill(NaN, 1, 5);
  return Float64Array.from(out);
}

function plotOn(reducing, markup) {
  const answers = { RequestPixSamples: (name, t, step, count) => slice(name, t, count) };
  if (reducing) answers.RequestPixPath = hostPath;
  const env = load({ answers });
  const p = env.lumo.make_plot('local');
  p.setup([rec('scatter', { id: 'loop', show_points: false, show_lines: true,
    xdata: ['generator', '$vol', ['interval', 0, 1, N - 1, env.lumo.kClosedInterval]],
    ydata: ['generator', '$flow', ['interval', 0, 1, N - 1, env.lumo.kClosedInterval]] })].concat(markup));
  return { env, p };
}

const pulled = (env) => env.proxy.named('RequestPixSamples').concat(env.proxy.named('RequestPixData'));

test('a reducing host gives the same picture and ranges as one that sends every point', () => {
  const ranges = [rec('xscalemin', 0), rec('xscalemax', 4), rec('yscalemin', -7), rec('yscalemax', 7)];
  const all = plotOn(false, ranges), reduced = plotOn(true, ranges);
  assert.strictEqual(reduced.p.copy('print'), all.p.copy('print'));
  const range = (p) => JSON.stringify(['x', 'y'].map((axis) => p.get_plotter('loop').data_range(axis)));
  assert.strictEqual(range(reduced.p), range(all.p));
  // Over every finite point: the one far out too, the infinite one not.
  assert.strictEqual(range(all.p), JSON.stringify([{ min: 0.4998003840446472, max: 3.500199556350708 },
    { min: -6.000990867614746, max: Math.fround(1e12) }]));
  assert.strictEqual(pulled(reduced.env).length, 0, 'no point pulled');
  const path = reduced.env.proxy.named('RequestPixPath');
  // Fewer points than there are.
  const sent = reduced.p.get_plotter('loop').path_cache.value.n;
  assert.ok(sent > 1000 && sent < N / 4, String(sent));
  assert.strictEqual(path.length, 1);
  // A zoom asks again at its mapping; the picture stays the same as drawn from every point.
  for (const p of [all.p, reduced.p]) p.zoom_to([1, 2.5], [-3, 0.5]);
  assert.strictEqual(reduced.p.copy('print'), all.p.copy('print'));
  assert.ok(reduced.env.proxy.named('RequestPixPath').length > path.length);
  // The cursor reads the points themselves.
  const at = reduced.p.get_plotter('loop').nearest(200, 120);
  assert.strictEqual(JSON.stringify(at), JSON.stringify(all.p.get_plotter('loop').nearest(200, 120)));
  assert.ok(pulled(reduced.env).length > 0);
});

test('a host without the reduction is asked once, then the points are pulled', () => {
  const env = load({ answers: { RequestPixSamples: (name, t, step, count) => slice(name, t, count),
    RequestPixPath: () => '' } });
  const p = env.lumo.make_plot('local');
  p.setup([rec('xscalemin', 0), rec('xscalemax', 4), rec('yscalemin', -7), rec('yscalemax', 7),
    rec('scatter', { id: 'loop', show_points: false, show_lines: true,
      xdata: ['generator', '$vol', ['interval', 0, 1, N - 1, 0]], ydata: ['generator', '$flow', ['interval', 0, 1, N - 1, 0]] })]);
  p.copy('print');
  p.copy('print');
  assert.strictEqual(env.proxy.named('RequestPixPath').length, 1);
  assert.strictEqual(p.get_plotter('loop').p.ydata.values.length, N);
});

// The line at the paper's resolution, n cells a pixel: steps over cells the line inked already
// are cut out.
test('a printed XY line keeps the steps that ink new cells, at the centres of its cells', () => {
  const { lumo } = load();
  const line = [[0.1, 0.1, 0.2, 0.2, 1.1, 0.1, 0.1, 0.1, 1.1, 0.1, 5.1, 0.1]];
  // Cells of half a pixel: (0, 0), the same again, (2, 0), back, there again, then (10, 0) far off.
  eq(lumo.grid_segments(line, 2), [[0.25, 0.25, 1.25, 0.25], [1.25, 0.25, 5.25, 0.25]]);
  // The screen's copy is left as it is.
  assert.strictEqual(lumo.grid_segments(line, 1), line);
  assert.strictEqual(lumo.grid_segments(line, undefined), line);
  // A lone point, and a line that stays in one cell, draw nothing.
  eq(lumo.grid_segments([[3, 3], [3.01, 3.01, 3.02, 3.02]], 4), []);
});

// An hour of breathing at 1 kHz gives a thick band of loops over each other; its printable SVG
// must stay well within what one call to the host may carry, and show the same band.
test('a long loop recording prints at the paper resolution, small, with the band it shows on screen', () => {
  const n = 400000;
  const vol = new Float32Array(n), flow = new Float32Array(n);
  for (let i = 0; i < n; ++i) {
    const breath = Math.floor(i / 4000), phase = (i % 4000) / 4000 * 2 * Math.PI;
    const depth = 1 + 0.05 * Math.sin(breath * 1.7);
    vol[i] = depth * 0.5 * (1 - Math.cos(phase));
    flow[i] = depth * 0.8 * Math.sin(phase) + 0.01 * Math.sin(i / 7);
  }
  sources.$hvol = vol;
  sources.$hflow = flow;
  const env = load({ answers: { RequestPixSamples: (name, t, step, count) => slice(name, t, count),
    RequestPixPath: (x, y, start, count, ...rest) => hostPath(x, y, start, Math.min(count, n - start), ...rest) } });
  const p = env.lumo.make_plot('local');
  p.setup([rec('scatter', { id: 'loop', show_points: false, show_lines: true,
    xdata: ['generator', '$hvol', ['interval', 0, 1, n - 1, 0]], ydata: ['generator', '$hflow', ['interval', 0, 1, n - 1, 0]] })]);
  // The subpaths of the line, each a list of [x, y].
  const subpaths = (svg) => svg.match(/<path style="fill:none;stroke:#1f77b4[^"]*" d="([^"]*)"/)[1]
    .split('M').filter((t) => t.trim()).map((t) => t.split('L').map((q) => q.trim().split(' ').map(Number)));
  // The pixels the line's steps pass, looked at every quarter pixel.
  const pixels = (paths) => {
    const set = new Set();
    for (const path of paths) {
      for (let k = 0; k < path.length; ++k) {
        const [x1, y1] = path[k], [x0, y0] = path[Math.max(0, k - 1)];
        const m = Math.ceil(4 * Math.max(Math.abs(x1 - x0), Math.abs(y1 - y0))) || 1;
        for (let j = 0; j <= m; ++j) set.add(Math.floor(x0 + (x1 - x0) * j / m) * 4096 + Math.floor(y0 + (y1 - y0) * j / m));
      }
    }
    return set;
  };
  const within = (a, b) => [...a].every((key) => [-1, 0, 1].some((dx) => [-1, 0, 1].some((dy) => b.has(key + dx * 4096 + dy))));
  const printed = p.copy('print'), screen = p.copy('copy');
  const drawn = subpaths(printed), shown = subpaths(screen);
  const count = (paths) => paths.reduce((sum, path) => sum + path.length, 0);
  assert.ok(printed.length < 2e6, `${printed.length} bytes`);
  assert.ok(count(drawn) * 3 < count(shown), `${count(drawn)} of ${count(shown)} points`);
  // The line printed passes within a pixel of every pixel the screen's passes, and the other way.
  const printedPixels = pixels(drawn), shownPixels = pixels(shown);
  assert.ok(within(shownPixels, printedPixels));
  assert.ok(within(printedPixels, shownPixels));
});
