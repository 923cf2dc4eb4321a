'use strict';
// The per-pixel-column reduction over typed arrays read in place, against a plain reference,
// and samples held as typed arrays by the data sources.
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

// Reference: samples grouped into runs of one column without a gap between them; each run
// gives its one sample at its own x, or its minimum and maximum at the column's middle in the
// order they came. A non-finite sample or x, or one more than 1e6 pixels out, ends the line.
function reference(xOf, ys, i0, i1, xs, ysc) {
  const ypix = (v) => Math.max(-1e6, Math.min(1e6, ysc.origin + (v - ysc.get_offset()) * ysc.get_scaling()));
  const lines = [];
  let line = [], run = [];
  const closeRun = () => {
    if (run.length === 1) line.push(run[0].px, ypix(run[0].v));
    else if (run.length > 1) {
      const vals = run.map((r) => r.v);
      const lo = Math.min(...vals), hi = Math.max(...vals);
      const loAt = vals.indexOf(lo), hiAt = vals.indexOf(hi);
      const cx = run[0].col + 0.5;
      const order = loAt <= hiAt ? [lo, hi] : [hi, lo];
      line.push(cx, ypix(order[0]));
      if (hi !== lo) line.push(cx, ypix(order[1]));
    }
    run = [];
  };
  const closeLine = () => { closeRun(); if (line.length) lines.push(line.length === 2 ? [line[0], line[1], line[0] + 1, line[1]] : line); line = []; };
  for (let i = i0; i <= i1; ++i) {
    const v = ys[i], x = xOf(i);
    const px = xs.origin + (x - xs.get_offset()) * xs.get_scaling();
    if (!Number.isFinite(v) || !Number.isFinite(x) || Math.abs(px) > 1e6) { closeLine(); continue; }
    const col = Math.floor(px);
    if (run.length && run[0].col !== col) closeRun();
    run.push({ v, px, col });
  }
  closeLine();
  return lines;
}

function scales(lumo, xRange, yRange, width, height) {
  const p = lumo.make_plot('local');
  const xs = p.scales[0], ys = p.scales[1];
  xs.set_pixels(0, width); xs.set_range(xRange[0], xRange[1]);
  ys.set_pixels(0, height || 300); ys.set_range(yRange[0], yRange[1]);
  return { xs, ys };
}

// A small deterministic generator: the same data on every run.
function noise(seed) {
  let s = seed;
  return () => { s = (s * 1103515245 + 12345) % 2147483648; return s / 2147483648; };
}

test('typed samples at a uniform x reduce as the plain rule does: gaps, lone samples, empty columns', () => {
  const { lumo } = load();
  const { xs, ys } = scales(lumo, [0, 10], [0, 10], 10, 10);
  // Hand-made, four samples a column: column 0 holds 0, 5, 2, 1 (minimum first), column 2 is
  // cut by NaN and Infinity.
  const v = Float64Array.from([0, 5, 2, 1, 3, 3, 3, 3, NaN, 1, Infinity, 4, 8, 6]);
  const u = { first: 0, step: 0.25 };
  const segs = lumo.column_reduce(null, v, 0, v.length - 1, xs, ys, u);
  eq(segs, [[0.5, 10, 0.5, 5, 1.5, 7], [2.25, 9, 3.25, 9], [2.75, 6, 3.5, 2, 3.5, 4]]);
  // The maximum first: it comes first in the column.
  eq(lumo.column_reduce(null, Float64Array.from([9, 1, 5, 2]), 0, 3, xs, ys, u), [[0.5, 1, 0.5, 9]]);
  // One sample in all: a one-pixel stroke at its own x; nothing for an empty range or all NaN.
  eq(lumo.column_reduce(null, Float64Array.from([4]), 0, 0, xs, ys, { first: 2.5, step: 1 }), [[2.5, 6, 3.5, 6]]);
  eq(lumo.column_reduce(null, Float64Array.from([4, 5]), 1, 0, xs, ys, u), []);
  eq(lumo.column_reduce(null, Float64Array.from([NaN, NaN, NaN]), 0, 2, xs, ys, u), []);
  // Fewer samples than columns: each stands alone at its own x, the columns between stay empty.
  eq(lumo.column_reduce(null, Float32Array.from([1, 2, 3]), 0, 2, xs, ys, { first: 1.25, step: 3 }),
    [[1.25, 9, 4.25, 8, 7.25, 7]]);
});

test('long typed series match the plain reference on every scale, in every direction', () => {
  const { lumo } = load();
  const rnd = noise(7);
  const n = 20000;
  const v = new Float64Array(n);
  for (let i = 0; i < n; ++i) v[i] = Math.sin(i / 300) + (rnd() - 0.5) * 0.2;
  // Gaps: a burst of NaN, a lone NaN at a column's start and an infinity.
  for (let i = 5000; i < 5040; ++i) v[i] = NaN;
  v[12000] = NaN; v[15001] = -Infinity;
  const cases = [
    { x: [0, 20], w: 733, u: { first: 0, step: 0.001 } },      // ~27 samples a column
    { x: [3.3, 3.9], w: 977, u: { first: 0, step: 0.001 } },   // fewer samples than columns
    { x: [-2, 25], w: 101, u: { first: 0.0005, step: 0.001 } }, // data inside a wider range
    { x: [0, 20], w: 640, u: { first: 19.999, step: -0.001 } }, // x descending with the index
    { x: [0, 1e9], w: 500, u: { first: 0, step: 1 } }           // everything in column 0
  ];
  for (const c of cases) {
    const { xs, ys } = scales(lumo, c.x, [-1.5, 1.5], c.w);
    const xOf = (i) => c.u.first + i * c.u.step;
    for (const [i0, i1] of [[0, n - 1], [4990, 5100], [11999, 12001], [17, 17]]) {
      const want = reference(xOf, v, i0, i1, xs, ys);
      assert.deepStrictEqual(Array.from(lumo.column_reduce(null, v, i0, i1, xs, ys, c.u), (s) => Array.from(s)), want,
        `x ${c.x} width ${c.w} samples ${i0}..${i1}`);
      // The same samples in a plain array, x given per sample: the same lines.
      assert.deepStrictEqual(Array.from(lumo.column_reduce(xOf, Array.from(v), i0, i1, xs, ys), (s) => Array.from(s)), want);
    }
  }
});

test('typed answers are held in place; later answers and plain ones are copied behind them', () => {
  const answers = [];
  const { lumo } = load({ answers: { RequestPixData: (name, t, step, count) => (count > 0 ? answers.shift() : '') } });
  const src = new lumo.PixEnum('$a', new lumo.PixInterval(0, 1, 9, lumo.kClosedInterval));
  const first = new Float32Array([1.5, 2.5, 3.5, 4.5]);
  answers.push(first);
  src.fetch();
  // A short answer ends the data, and the samples are the answer's own memory.
  assert.strictEqual(src.ended, true);
  assert.strictEqual(src.values.buffer, first.buffer);
  eq(src.values, [1.5, 2.5, 3.5, 4.5]);
  // The host changed samples from index 2 on: the first two stay, the rest comes again (more
  // than asked for is cut; texts and holes in a plain answer read as numbers and NaN).
  src.invalidate(2, 8);
  answers.push(new Float64Array([7, 8, 9, 10, 11, 12, 13, 14, 15]));
  src.fetch();
  eq(src.values, [1.5, 2.5, 7, 8, 9, 10, 11, 12, 13, 14]);
  assert.notStrictEqual(src.values.buffer, first.buffer);
  assert.deepStrictEqual(Array.from(first), [1.5, 2.5, 3.5, 4.5], 'the answer itself is never written');
  src.invalidate(9, 1);
  answers.push(['16', null, 'x']);
  src.fetch();
  assert.deepStrictEqual(Array.from(src.values).map(String), ['1.5', '2.5', '7', '8', '9', '10', '11', '12', '13', '16']);
  src.invalidate(8, 2);
  answers.push([' ', 17]);
  src.fetch();
  assert.deepStrictEqual(Array.from(src.values.subarray(8)).map(String), ['0', '17']);
});
