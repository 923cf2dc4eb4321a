// Loads the page library into a fresh script context the way the page does: the files joined
// in bundle order (main.js, then the table order without jquery.js and remote.js), with a
// recording stand-in for the host's bridge object.
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const jsDir = path.join(__dirname, '..', '..', 'src', 'plot', 'js');
const tableOrder = ['canvas_layer.js', 'event_dispatcher.js', 'utility.js', 'fractal.js', 'remote.js',
  'histogram.js', 'tplot.js', 'types.js', 'legend.js', 'pix_data.js', 'box.js', 'scaling.js', 'text_layer.js',
  'text_region.js', 'vlines.js', 'drag_scroller.js', 'zoom.js', 'plot.js', 'jquery.js', 'main.js', 'ellipse.js',
  'check_props.js', 'cursor.js', 'draw.js', 'graticule.js', 'svg_layer.js', 'button.js', 'setup.js',
  'drag_scale.js', 'styles.js', 'bar.js', 'scatter.js'];

function bundleFiles(withRemote) {
  const rest = tableOrder.filter((n) => !['jquery.js', 'main.js', 'remote.js'].includes(n));
  return ['main.js'].concat(withRemote ? ['remote.js'] : [], rest);
}

// A bridge that records every call; `answers[name]` (a function or a value) gives the result.
class FakeProxy {
  constructor(answers) {
    this.calls = [];
    this.answers = Object.assign({ HasData: true }, answers || {});
    const names = ['CompileMarkup', 'BadPlotterProperty', 'VLinesDragged', 'BoxResized', 'SetSVG',
      'XScalingChanged', 'YScalingChanged', 'ZoomLevelChanged', 'RequestPixData', 'RequestLabelsData',
      'RequestEquation', 'IsZoomEnabled', 'SetZoomState', 'HasData', 'OnMouseClick', 'RegionPosChanged',
      'RegionTextChanged', 'MakeDropMenu', 'ResourceURLs'];
    // A test may give the host more methods than these: each one it answers.
    for (const n of new Set(names.concat(Object.keys(this.answers)))) {
      this[n] = (...args) => {
        this.calls.push([n, ...args]);
        const a = this.answers[n];
        return typeof a === 'function' ? a(...args) : (a === undefined ? '' : a);
      };
    }
  }
  named(name) { return this.calls.filter((c) => c[0] === name); }
}

function load(options) {
  const opts = options || {};
  const proxy = opts.proxy === undefined ? new FakeProxy(opts.answers) : opts.proxy;
  const timers = [];
  const context = {
    console,
    lumo_proxy: proxy,
    setTimeout: (fn, ms) => { timers.push({ fn, ms }); return timers.length; },
    clearTimeout: (id) => { if (timers[id - 1]) timers[id - 1].fn = null; },
    performance: { now: () => Number(process.hrtime.bigint()) / 1e6 }
  };
  vm.createContext(context);
  const text = bundleFiles(!!opts.withRemote).map((n) => fs.readFileSync(path.join(jsDir, n), 'utf8')).join('\r\n');
  vm.runInContext(text, context, { filename: 'lumo_bundle.js' });
  // Runs the timers that are due (all of them: tests have no clock of their own).
  const runTimers = () => {
    while (timers.some((t) => t.fn)) {
      for (const t of timers) { const f = t.fn; t.fn = null; if (f) f(); }
    }
  };
  return { lumo: context.lumo, proxy, context, timers, runTimers, FakeProxy };
}

module.exports = { load, FakeProxy, bundleFiles, tableOrder, jsDir };

// Values from the script context carry that context's prototypes: compare their plain form
// (samples held in typed arrays as the plain arrays they stand for).
const assert = require('node:assert');
module.exports.eq = (actual, expected, message) =>
  assert.deepStrictEqual(JSON.parse(JSON.stringify(actual, (k, v) => (ArrayBuffer.isView(v) ? Array.from(v) : v))),
    expected, message);
