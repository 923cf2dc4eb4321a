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

const slice = (name, t, count) => {
  const all = sources[name] || new Float32Array(0);
  return all.subarray(Math.max(0, t), Math.max(0, Math.min(all.length, t + count)));
};

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

// The line at the paper's resolution, n cells a pixel: steps over cells an earlier part of the
// line inked are cut out, and the line goes on from there.
test('a printed XY line keeps the steps that ink new cells, at the centres of its cells', () => {
  const { lumo } = load();
  const line = [[0.1, 0.1, 0.2, 0.2, 1.1, 0.1, 2.1, 0.1, 3.1, 0.1, 2.1, 0.1, 1.1, 0.1, 0.1, 0.1, 5.1, 0.1]];
  // Cells of half a pixel: (0, 0), the same again, (2, 0), (4, 0), (6, 0), back to (4, 0) and on
  // to (0, 0) over what it inked on the way out, its own last steps too, then out to (10, 0) in
  // one long step.
  eq(lumo.grid_segments(line, 2), [[0.25, 0.25, 1.25, 0.25, 2.25, 0.25, 3.25, 0.25], [0.25, 0.25, 5.25, 0.25]]);
  // The screen's copy is left as it is.
  assert.strictEqual(lumo.grid_segments(line, 1), line);
  assert.strictEqual(lumo.grid_segments(line, undefined), line);
  // A lone point, and a line that stays in one cell, draw nothing.
  eq(lumo.grid_segments([[3, 3], [3.01, 3.01, 3.02, 3.02]], 4), []);
});

// Whether a printer inks the point (x, y) when it strokes the subpaths a pixel wide: within half
// a pixel of a step, beside it unless the ends are round, or of a corner inside a subpath.
function inked(paths, x, y, round) {
  return paths.some((s) => {
    for (let i = 0; i + 3 < s.length; i += 2) {
      const ax = s[i], ay = s[i + 1], dx = s[i + 2] - ax, dy = s[i + 3] - ay;
      const t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy);
      const u = round ? Math.max(0, Math.min(1, t)) : t;
      if (u >= 0 && u <= 1 && Math.hypot(ax + u * dx - x, ay + u * dy - y) <= 0.5) return true;
      if (i > 0 && Math.hypot(ax - x, ay - y) <= 0.5) return true;
    }
    return false;
  });
}
// The points of a line's segments every 1/16 pixel that the printed subpaths leave bare.
function bare(segments, paths, round) {
  const out = [];
  for (const s of segments) {
    for (let i = 0; i + 3 < s.length; i += 2) {
      const m = Math.ceil(16 * Math.hypot(s[i + 2] - s[i], s[i + 3] - s[i + 1]));
      for (let j = 0; j < m; ++j) {
        const x = s[i] + (s[i + 2] - s[i]) * j / m, y = s[i + 1] + (s[i + 3] - s[i + 1]) * j / m;
        if (!inked(paths, x, y, round)) out.push([x, y]);
      }
    }
  }
  return out;
}
// An ellipse's points from angle 0, `turns` times round, `perTurn` points a turn.
function ellipse(turns, perTurn, rx, ry) {
  const s = [];
  for (let k = 0; k <= turns * perTurn; ++k) {
    const a = 2 * Math.PI * k / perTurn;
    s.push(100 + rx * Math.cos(a), 100 + ry * Math.sin(a));
  }
  return s;
}

test('a printed XY line that never comes back over itself is one subpath through all its cells', () => {
  const { lumo } = load();
  // Points a tenth of a pixel apart and a pixel apart, on most of a turn.
  for (const perTurn of [3000, 300]) {
    const arc = ellipse(0.9, perTurn, 50, 20);
    for (const n of [2, 4, 8]) {
      const centres = [];
      for (let i = 0; i < arc.length; i += 2) {
        const x = (Math.floor(arc[i] * n) + 0.5) / n, y = (Math.floor(arc[i + 1] * n) + 0.5) / n;
        if (x !== centres[centres.length - 2] || y !== centres[centres.length - 1]) centres.push(x, y);
      }
      eq(lumo.grid_segments([arc], n), [centres], `${n} cells a pixel, ${perTurn} points a turn`);
    }
  }
});

test('a printed XY line drawn over itself leaves out what is inked already, and resumes without a gap', () => {
  const { lumo } = load();
  // Three turns round one ellipse, then away from it along the tangent at its bottom.
  const s = ellipse(3, 1000, 50, 20);
  for (let k = 1; k <= 100; ++k) s.push(100 + 0.4 * k, 120);
  const printed = lumo.grid_segments([s], 4, 1);
  assert.deepStrictEqual(bare([s], printed, true).slice(0, 3), []);
  // The later turns add little: the cells of one turn and of the way out, not of three turns.
  const points = (paths) => paths.reduce((sum, p) => sum + p.length / 2, 0);
  const once = points(lumo.grid_segments([ellipse(1, 1000, 50, 20)], 4, 1));
  assert.ok(points(printed) < once + 200, `${points(printed)} points, ${once} for one turn`);
  // A turn laid half a pixel beside the first widens the band a printer inks, whatever the
  // line's width: it is kept, and the print covers both.
  const beside = ellipse(1, 1000, 50, 20).concat(ellipse(1, 1000, 50.5, 20.5));
  for (const width of [1, 3]) {
    const kept = points(lumo.grid_segments([beside], 4, width)), first = points(lumo.grid_segments([ellipse(1, 1000, 50, 20)], 4, width));
    assert.ok(kept > 1.8 * first, `${kept} points ${width} pixels wide, ${first} for the first turn`);
  }
  assert.deepStrictEqual(bare([beside], lumo.grid_segments([beside], 4, 1), true).slice(0, 3), []);
});

// The style and the subpaths of the line in a picture's SVG, each subpath a list of [x, y].
const lineStyle = (svg) => svg.match(/<path style="(fill:none;stroke:#1f77b4[^"]*)"/)[1];
const subpaths = (svg) => svg.match(/<path style="fill:none;stroke:#1f77b4[^"]*" d="([^"]*)"/)[1]
  .split('M').filter((t) => t.trim()).map((t) => t.split('L').map((q) => q.trim().split(' ').map(Number)));

// One breath's loop, drawn once: printed with the ends and corners its SVG gives, it inks every
// point of the line the screen shows, at the paper's resolution as on the screen.
test('a printed loop is whole', () => {
  const n = 4000;
  sources.$bvol = Float32Array.from({ length: n }, (v, i) => 0.5 * (1 - Math.cos(2 * Math.PI * i / n)));
  sources.$bflow = Float32Array.from({ length: n }, (v, i) => 0.8 * Math.sin(2 * Math.PI * i / n));
  const env = load({ answers: { RequestPixSamples: (name, t, step, count) => slice(name, t, count) } });
  const p = env.lumo.make_plot('local');
  p.setup([rec('scatter', { id: 'loop', show_points: false, show_lines: true,
    xdata: ['generator', '$bvol', ['interval', 0, 1, n - 1, 0]], ydata: ['generator', '$bflow', ['interval', 0, 1, n - 1, 0]] })]);
  const printed = p.copy('print'), screen = p.copy('copy');
  const round = /stroke-linecap:round/.test(lineStyle(printed)) && /stroke-linejoin:round/.test(lineStyle(printed));
  const gaps = bare(subpaths(screen).map((s) => s.flat()), subpaths(printed).map((s) => s.flat()), round);
  assert.deepStrictEqual(gaps.slice(0, 3), [], `${gaps.length} points bare, ${round ? 'round' : 'square'} ends`);
  // The screen's copy keeps its plain ends.
  assert.ok(!/linecap/.test(lineStyle(screen)), lineStyle(screen));
});

// The pixels a line's steps pass (each path a list of [x, y]), looked at every quarter pixel.
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
// Whether every pixel of a lies within a pixel of one of b.
const within = (a, b) => [...a].every((key) => [-1, 0, 1].some((dx) => [-1, 0, 1].some((dy) => b.has(key + dx * 4096 + dy))));
const pointCount = (paths) => paths.reduce((sum, path) => sum + path.length, 0);

// A plot of the loop of the host's sources named, reduced by the host; n points.
function loopOn(xName, yName, n) {
  const env = load({ answers: { RequestPixSamples: (name, t, step, count) => slice(name, t, count),
    RequestPixPath: (x, y, start, count, ...rest) => hostPath(x, y, start, Math.min(count, n - start), ...rest) } });
  const p = env.lumo.make_plot('local');
  p.setup([rec('scatter', { id: 'loop', show_points: false, show_lines: true,
    xdata: ['generator', xName, ['interval', 0, 1, n - 1, 0]], ydata: ['generator', yName, ['interval', 0, 1, n - 1, 0]] })]);
  return p;
}

// Breaths of 4000 points at 1 kHz, their depths varying, the flow with noise of that amplitude.
function breathing(n, noise) {
  const vol = new Float32Array(n), flow = new Float32Array(n);
  let seed = 2463534242;
  const random = () => { seed ^= seed << 13; seed ^= seed >>> 17; seed ^= seed << 5; return (seed >>> 0) / 4294967296; };
  for (let i = 0; i < n; ++i) {
    const breath = Math.floor(i / 4000), phase = (i % 4000) / 4000 * 2 * Math.PI;
    const depth = 1 + 0.05 * Math.sin(breath * 1.7);
    vol[i] = depth * 0.5 * (1 - Math.cos(phase));
    flow[i] = depth * 0.8 * Math.sin(phase) + 0.01 * Math.sin(i / 7) + noise * (2 * random() - 1);
  }
  return { vol, flow };
}

// An hour of breathing at 1 kHz gives a thick band of loops over each other; its printable SVG
// must stay well within what one call to the host may carry, and show the same band.
test('a long loop recording prints at the paper resolution, small, with the band it shows on screen', () => {
  const n = 400000;
  const { vol, flow } = breathing(n, 0);
  sources.$hvol = vol;
  sources.$hflow = flow;
  const p = loopOn('$hvol', '$hflow', n);
  const printed = p.copy('print'), screen = p.copy('copy');
  const drawn = subpaths(printed), shown = subpaths(screen);
  assert.ok(printed.length < 2e6, `${printed.length} bytes`);
  assert.ok(pointCount(drawn) * 2 < pointCount(shown), `${pointCount(drawn)} of ${pointCount(shown)} points`);
  // The line printed passes within a pixel of every pixel the screen's passes, and the other way.
  const printedPixels = pixels(drawn), shownPixels = pixels(shown);
  assert.ok(within(shownPixels, printedPixels));
  assert.ok(within(printedPixels, shownPixels));
});

// Flow-head noise moves nearly every point of a long loop by pixels, to ground the band has
// inked already: the print is bounded by the cells of the band, not by the points, so twice the
// recording prints hardly larger, and it is still the band the screen shows.
test('a long noisy loop prints bounded by the ink of its band, and whole', () => {
  const n = 400000;
  const { vol, flow } = breathing(n, 0.02);
  sources.$nvol = vol;
  sources.$nflow = flow;
  const half = loopOn('$nvol', '$nflow', n / 2).copy('print');
  const p = loopOn('$nvol', '$nflow', n);
  const printed = p.copy('print'), screen = p.copy('copy');
  assert.ok(printed.length < 1.2 * half.length, `${printed.length} bytes, ${half.length} for half the recording`);
  assert.ok(printed.length < 2e6, `${printed.length} bytes`);
  const drawn = subpaths(printed), shown = subpaths(screen);
  assert.ok(pointCount(drawn) * 4 < pointCount(shown), `${pointCount(drawn)} of ${pointCount(shown)} points`);
  const printedPixels = pixels(drawn), shownPixels = pixels(shown);
  assert.ok(within(shownPixels, printedPixels));
  assert.ok(within(printedPixels, shownPixels));
});

// The dots a printer inks for lines a pixel wide with round ends, k to a pixel along each axis,
// over a w by h pixel page: those within `half` a pixel of a step.
function dots(paths, w, h, k, half) {
  const page = new Uint8Array(w * k * h * k);
  for (const s of paths) {
    for (let i = 0; i + 3 < s.length; i += 2) {
      const [ax, ay, bx, by] = [s[i], s[i + 1], s[i + 2], s[i + 3]], dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
      const x0 = Math.max(0, Math.floor((Math.min(ax, bx) - half) * k)), x1 = Math.min(w * k - 1, Math.ceil((Math.max(ax, bx) + half) * k));
      const y0 = Math.max(0, Math.floor((Math.min(ay, by) - half) * k)), y1 = Math.min(h * k - 1, Math.ceil((Math.max(ay, by) + half) * k));
      for (let y = y0; y <= y1; ++y) {
        for (let x = x0; x <= x1; ++x) {
          const px = (x + 0.5) / k, py = (y + 0.5) / k;
          const t = len > 0 ? Math.max(0, Math.min(1, ((px - ax) * dx + (py - ay) * dy) / len)) : 0;
          if (Math.hypot(ax + t * dx - px, ay + t * dy - py) <= half) page[y * w * k + x] = 1;
        }
      }
    }
  }
  return page;
}

// Loops laid close over each other, clean and with noise of pixels: at a printer's dots, eight
// to a pixel, the print leaves no dot bare that lies well inside the line the screen draws
// (within 0.3 of its half pixel: the print's points sit up to an eighth of a pixel off the
// screen's, at the centres of their cells), so dense ink shows no hairlines.
test('a printed band of loops has no hairline holes at a printer\'s dots', () => {
  const { lumo } = load();
  for (const noise of [0, 4]) {
    const { vol, flow } = breathing(200000, 0);
    let seed = 88172645;
    const random = () => { seed ^= seed << 13; seed ^= seed >>> 17; seed ^= seed << 5; return (seed >>> 0) / 4294967296; };
    const line = [];
    for (let i = 0; i < vol.length; ++i) line.push(100 + 80 * vol[i], 100 + 75 * flow[i] + noise * (2 * random() - 1));
    const printed = lumo.grid_segments([line], 4, 1, { left: 80, top: 20, width: 140, height: 170 });
    const screen = dots([line], 200, 200, 8, 0.3), print = dots(printed, 200, 200, 8, 0.5);
    let bare = 0, inside = 0;
    for (let i = 0; i < screen.length; ++i) {
      if (screen[i]) { ++inside; if (!print[i]) ++bare; }
    }
    assert.strictEqual(bare, 0, `noise ${noise} px: ${bare} of ${inside} dots bare`);
  }
});
