'use strict';
// A host that reduces a long XY line to the points its drawing keeps gives the same picture
// and ranges as a host that hands over every point; the page asks again at a new mapping, and
// pulls the points themselves only when the cursor needs them.
const test = require('node:test');
const assert = require('node:assert');
const { load } = require('./loader.js');

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
