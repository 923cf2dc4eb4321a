'use strict';
// A host that reduces a wide time plot to its pixel columns draws, scales and snaps exactly as
// a host that hands over every sample; the page asks again at the new resolution on zoom.
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

// Values of two script contexts compare by their plain form.
const same = (a, b, message) => assert.strictEqual(JSON.stringify(a), JSON.stringify(b), message);

const rec = (name, markup) => ({ property_name: name, markup });
const N = 60000;
// A breathing-like signal with a burst of NaN, a lone infinity and a flat stretch.
const samples = Float64Array.from({ length: N }, (v, i) => {
  if (i >= 20000 && i < 20300) return NaN;
  if (i === 41234) return Infinity;
  if (i >= 50000 && i < 52000) return 0.25;
  return Math.sin(i / 700) * (1 + 0.3 * Math.sin(i / 9000)) + 0.05 * Math.sin(i / 3);
});

function answerSamples(name, t, step, count) {
  return name === '$flow' ? Array.from(samples.subarray(Math.max(0, t), Math.max(0, Math.min(N, t + count)))) : [];
}

// What the host keeps (as PixColumns does): each run's only sample, or its extremes in the
// order they came (a flat run its first two), one NaN pair per gap; the count read first.
function hostColumns(name, start, count, index, xFirst, xStep, xo, xoff, xk) {
  const out = [0, 0];
  let run = null;
  let gapLast = false;
  const endRun = () => {
    if (!run) return;
    if (run.n === 1) out.push(run.first, run.min);
    else if (run.minI === run.maxI) out.push(run.first, run.min, run.first + 1, run.min);
    else if (run.minI < run.maxI) out.push(run.minI, run.min, run.maxI, run.max);
    else out.push(run.maxI, run.max, run.minI, run.min);
    run = null;
    gapLast = false;
  };
  let read = 0;
  for (let t = start; t < Math.min(N, start + count); ++t, ++read) {
    const i = index + read, v = samples[t];
    const px = xo + (xFirst + i * xStep - xoff) * xk;
    if (!Number.isFinite(v) || !(px >= -1e6 && px <= 1e6)) {
      endRun();
      if (!gapLast) out.push(i, NaN);
      gapLast = true;
      continue;
    }
    const col = Math.floor(px);
    if (run && run.col === col) {
      if (v < run.min) { run.min = v; run.minI = i; } else if (v > run.max) { run.max = v; run.maxI = i; }
      run.n++;
      continue;
    }
    endRun();
    run = { col, n: 1, first: i, min: v, max: v, minI: i, maxI: i };
  }
  endRun();
  out[0] = read;
  return Float64Array.from(out);
}

function plotOn(reducing) {
  const answers = { RequestPixData: answerSamples };
  if (reducing) {
    answers.RequestPixColumns = hostColumns;
    answers.RequestPixSamples = (...a) => Float64Array.from(answerSamples(...a));
  }
  const env = load({ answers });
  const p = env.lumo.make_plot('local');
  p.setup([rec('tplot', { id: 'flow', xdata: ['interval', 0, 0.01, null, env.lumo.kOpenInterval],
    ydata: ['generator', '$flow', ['interval', 0, 1, null, env.lumo.kClosedInterval]] }),
  rec('fullrange_xscalemin', 0), rec('fullrange_xscalemax', 600),
  rec('do_initial_autoscale_x', true), rec('do_initial_autoscale_y', true)]);
  return { env, p };
}

test('a reducing host gives the same picture, ranges and snapped points as one that sends every sample', () => {
  const all = plotOn(false), reduced = plotOn(true);
  const scales = (p) => p.scales.map((s) => [s.min, s.max]);
  same(scales(reduced.p), scales(all.p));
  eq(scales(all.p)[0], [0, (N - 1) * 0.01]);
  const check = (what) => {
    assert.strictEqual(reduced.p.copy('print'), all.p.copy('print'), what);
    for (const px of [0, 133.3, 250, 401, 777]) {
      same(reduced.p.get_plotter('flow').nearest(px, 50), all.p.get_plotter('flow').nearest(px, 50), `${what} at ${px}`);
    }
  };
  check('all of it');
  // The reducing host was never asked for every sample: only for columns (and single samples).
  const pulled = reduced.env.proxy.named('RequestPixData').concat(reduced.env.proxy.named('RequestPixSamples'));
  assert.ok(pulled.every((c) => c[4] <= 1), JSON.stringify(pulled.map((c) => c[4])));
  const asked = reduced.env.proxy.named('RequestPixColumns').length;
  // A zoom asks again at the new resolution; the y scale follows the shown samples.
  for (const p of [all.p, reduced.p]) { p.zoom_to([150, 420], null); p.scales[1].auto_scale_now_quiet(); }
  same(scales(reduced.p), scales(all.p));
  check('zoomed');
  assert.ok(reduced.env.proxy.named('RequestPixColumns').length > asked);
  // Zoomed in to fewer samples than columns: samples are pulled and drawn as they are.
  for (const p of [all.p, reduced.p]) p.zoom_to([199.5, 201], null);
  check('zoomed in');
});

test('a host that does not reduce is asked once, then the samples are pulled', () => {
  const env = load({ answers: { RequestPixData: answerSamples, RequestPixColumns: () => '' } });
  const p = env.lumo.make_plot('local');
  p.setup([rec('xscalemin', 0), rec('xscalemax', 600), rec('tplot', { id: 'flow', xdata: ['interval', 0, 0.01, null, 1],
    ydata: ['generator', '$flow', ['interval', 0, 1, null, 0]] })]);
  p.copy('print');
  p.copy('print');
  assert.strictEqual(env.proxy.named('RequestPixColumns').length, 1);
  assert.strictEqual(p.get_plotter('flow').p.ydata.values.length, N);
});

test('a reducing host without the source yet answers no columns and is asked again once it has it', () => {
  let registered = false;
  const env = load({ answers: {
    RequestPixData: (...a) => (registered ? answerSamples(...a) : []),
    RequestPixColumns: (...a) => (registered ? hostColumns(...a) : new Float64Array(0)),
    HasData: () => registered
  } });
  const p = env.lumo.make_plot('local');
  p.setup([rec('xscalemin', 0), rec('xscalemax', 600), rec('tplot', { id: 'flow', xdata: ['interval', 0, 0.01, null, 1],
    ydata: ['generator', '$flow', ['interval', 0, 1, null, 0]] })]);
  p.copy('print');
  registered = true;
  const asked = env.proxy.named('RequestPixColumns').length;
  p.copy('print');
  assert.ok(env.proxy.named('RequestPixColumns').length > asked);
  assert.strictEqual(p.get_plotter('flow').p.ydata.values.length, 0, 'no samples pulled');
});
