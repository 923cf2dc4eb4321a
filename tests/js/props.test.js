'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { load, eq } = require('./loader.js');

const rec = (name, markup) => ({ property_name: name, markup });

test('plot properties take their defaults when absent, silently', () => {
  const { lumo, proxy } = load();
  const p = lumo.make_plot('local');
  p.setup([]);
  const d = p.p;
  eq([d.rightmargin, d.topmargin, d.xscaleheight, d.yscalewidth], [3, 3, 75, 75]);
  eq([d.background.markup(), d.fontfamily], ['#ffffffff', 'Segoe UI, Tahoma, sans-serif']);
  eq([d.fontsize, d.canvas_fontsize, d.labelsize, d.shadow, d.axesshadow], [9, 8, 10, true, false]);
  eq([d.minticklabels, d.majorticksize, d.minorticksize, d.yscaleticksmin, d.xscaleticksmin], [7, 4, 2, 0, 0]);
  eq([d.yscalemin, d.yscalemax, d.xscalemin, d.xscalemax], [null, null, null, null]);
  eq([d.fullrange_yscalemin, d.fullrange_yscalemax, d.fullrange_xscalemin, d.fullrange_xscalemax], [null, null, null, null]);
  eq([d.do_initial_autoscale_x, d.do_initial_autoscale_y, d.title, d.xlabel, d.ylabel], [false, false, null, '', '']);
  eq([d.show_x_scale_labels, d.show_y_scale_labels, d.minortickthreshold, d.throbberdelay, d.scalesigfigs], [true, true, 60, 350, 4]);
  eq([d.hidewhiledrawing, d.throttleredraws, d.showzoombuttons, d.showmenubutton], [false, true, true, true]);
  eq([d.label_each_minor_x_tick, d.label_each_minor_y_tick, d.use_js_fake_proxy], [false, false, false]);
  eq(proxy.named('BadPlotterProperty'), []);
});

test('plot properties of the wrong kind take their default and are reported', () => {
  const { lumo, proxy } = load();
  const p = lumo.make_plot('local');
  p.setup([rec('fontsize', 'big'), rec('yscalewidth', -1), rec('minticklabels', 2.5), rec('minticklabels', -2),
    rec('background', 'white'), rec('shadow', 1), rec('title', 5), rec('xscalemin', 'a'), rec('throbberdelay', -1),
    rec('scalesigfigs', 3)]);
  eq(proxy.named('BadPlotterProperty'), [
    ['BadPlotterProperty', 'local', 'unnamed plot', 'yscalewidth', 'number greater than 0', '75'],
    ['BadPlotterProperty', 'local', 'unnamed plot', 'background', 'colour', '#ffffffff'],
    ['BadPlotterProperty', 'local', 'unnamed plot', 'fontsize', 'number greater than 0', '9'],
    ['BadPlotterProperty', 'local', 'unnamed plot', 'shadow', 'boolean', 'true'],
    ['BadPlotterProperty', 'local', 'unnamed plot', 'minticklabels', 'integer greater than -1', '7'],
    ['BadPlotterProperty', 'local', 'unnamed plot', 'xscalemin', 'number', 'null'],
    ['BadPlotterProperty', 'local', 'unnamed plot', 'title', 'string', 'null']
  ]);
  eq([p.p.fontsize, p.p.minticklabels, p.p.throbberdelay, p.p.scalesigfigs, p.p.yscalewidth], [9, 7, -1, 3, 75]);
});

test('plotter properties report their owner: the id, else "unnamed KIND plotter"', () => {
  const { lumo, proxy } = load();
  const p = lumo.make_plot('local');
  p.setup([rec('tplot', { id: 'flow', linewidth: 'thick', xdata: 'abc' }), rec('vlines', { values: 3, draggable: 'yes' }),
    rec('zoom', { visible: 0 })]);
  eq(proxy.named('BadPlotterProperty'), [
    ['BadPlotterProperty', 'local', 'flow', 'linewidth', 'number greater than 0', '1'],
    ['BadPlotterProperty', 'local', 'flow', 'xdata', 'interval, array, or generator', '[0:1:end]'],
    ['BadPlotterProperty', 'local', 'unnamed vlines plotter', 'values', 'array', '[]'],
    ['BadPlotterProperty', 'local', 'unnamed vlines plotter', 'draggable', 'boolean', 'true'],
    ['BadPlotterProperty', 'local', 'unnamed zoom plotter', 'visible', 'boolean', 'true']
  ]);
  assert.strictEqual(p.get_plotter('flow').p.linewidth, 1);
});

test('expected texts of the checks', () => {
  const { lumo } = load();
  const t = lumo.expected_text;
  eq([t(lumo.prop('colour')), t(lumo.prop('string')), t(lumo.prop('number')), t(lumo.prop('boolean')),
    t(lumo.prop('interval')), t(lumo.prop('array')), t(lumo.prop('generator')), t(lumo.prop('data')),
    t(lumo.props.num(1, 0)), t(lumo.props.int(1, 0))],
  ['colour', 'string', 'number', 'boolean', 'interval', 'array', 'generator', 'interval, array, or generator',
    'number greater than 0', 'integer greater than 0']);
});

test('an invalid interval or generator fails its check', () => {
  const { lumo, proxy } = load();
  const p = lumo.make_plot('local');
  p.setup([rec('tplot', { id: 't', xdata: ['interval', 0, 0, null, 0], ydata: ['generator', '$a', ['interval', , 0]] })]); // eslint-disable-line no-sparse-arrays
  eq(proxy.named('BadPlotterProperty').map((c) => [c[2], c[3], c[4]]),
    [['t', 'xdata', 'interval, array, or generator'], ['t', 'ydata', 'interval, array, or generator']]);
});

test('markup text of defaults', () => {
  const { lumo } = load();
  eq([lumo.value_markup(null), lumo.value_markup("it's"), lumo.value_markup(0.5), lumo.value_markup(false),
    lumo.value_markup(new lumo.Colour(255, 0, 0, 128)), lumo.value_markup(new lumo.PixInterval(0, 0.5, 10, lumo.kOpenInterval)),
    lumo.value_markup(new lumo.PixArray([1, 'a']))],
  ['null', "'it\\'s'", '0.5', 'false', '#ff000080', '[0:0.5:10)', "[1, 'a']"]);
});
