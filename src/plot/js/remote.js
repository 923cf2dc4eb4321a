// remote.js: a bridge stand-in for pages shown without the host (use_js_fake_proxy): it answers
// data requests by evaluating the expression in the page, has no '$' sources, and keeps a log
// of the callbacks the page made.
(function (lumo) {
  'use strict';

  // Expressions of t with + - * / % ^, unary signs, pi, e and the host's functions.
  var funcs = {
    sin: Math.sin, cos: Math.cos, tan: Math.tan, sqrt: Math.sqrt, ln: Math.log,
    log: function (v) { return Math.log(v) / Math.LN10; },
    round: Math.round, ceil: Math.ceil, floor: Math.floor
  };
  lumo.compile_expression = function (text) {
    var toks = String(text).match(/\s*(\d+\.?\d*(?:[eE][+-]?\d+)?|\.\d+|[a-z]+\(|[a-z]+|[-+*/%^()])/g);
    if (!toks || toks.join('').replace(/\s/g, '') !== String(text).replace(/\s/g, '')) return null;
    toks = toks.map(function (s) { return s.trim(); });
    var i = 0;
    function peek() { return toks[i]; }
    function primary() {
      var tk = toks[i++];
      if (tk === undefined) throw new Error('end');
      if (/^[\d.]/.test(tk)) { var v = +tk; return function () { return v; }; }
      if (tk === 't') return function (t) { return t; };
      if (tk === 'pi') return function () { return 3.14159265; };
      if (tk === 'e') return function () { return 2.71828183; };
      if (tk === '-') { var a = primary(); return function (t) { return -a(t); }; }
      if (tk === '+') return primary();
      if (tk === '(' || /\($/.test(tk)) {
        var inner = expression();
        if (toks[i++] !== ')') throw new Error('missing )');
        if (tk === '(') return inner;
        var f = funcs[tk.slice(0, -1)];
        if (!f) throw new Error('unknown function');
        return function (t) { return f(inner(t)); };
      }
      throw new Error('unexpected ' + tk);
    }
    function binary(next, ops) {
      return function () {
        var left = next();
        while (ops[peek()]) {
          var op = ops[toks[i++]], l = left, r = next();
          left = (function (l2, r2, o) { return function (t) { return o(l2(t), r2(t)); }; })(l, r, op);
        }
        return left;
      };
    }
    var factor = binary(primary, { '^': Math.pow });
    var term = binary(factor, {
      '*': function (a, b) { return a * b; }, '/': function (a, b) { return a / b; },
      '%': function (a, b) { return a - b * Math.floor(a / b); }
    });
    var expression = binary(term, { '+': function (a, b) { return a + b; }, '-': function (a, b) { return a - b; } });
    try {
      var code = expression();
      return i === toks.length ? code : null;
    } catch (e) {
      return null;
    }
  };

  lumo.FakeProxy = function () { this.calls = []; };
  var F = lumo.FakeProxy.prototype;
  F.record = function (name, args) { this.calls.push([name].concat(Array.prototype.slice.call(args))); return ''; };
  F.RequestPixData = function (expression, t, step, count) {
    this.record('RequestPixData', arguments);
    var code = String(expression).charAt(0) === '$' ? null : lumo.compile_expression(expression);
    var out = [];
    for (var k = 0; k < count; ++k, t += step) out.push(code ? code(t) : NaN);
    return out;
  };
  F.RequestLabelsData = function (id, t, step, count) {
    this.record('RequestLabelsData', arguments);
    var out = [];
    for (var k = 0; k < count; ++k) out.push(String(Math.trunc(t + k)));
    return out;
  };
  F.HasData = function () { return true; };
  F.IsZoomEnabled = function () { return false; };
  F.CompileMarkup = function (plotId) {
    this.record('CompileMarkup', arguments);
    var plot = lumo.get_plot(plotId);
    if (plot) plot.show_error('Markup can only be compiled by the host.');
    return '';
  };
  ['BadPlotterProperty', 'VLinesDragged', 'BoxResized', 'SetSVG', 'XScalingChanged', 'YScalingChanged',
    'ZoomLevelChanged', 'RequestEquation', 'SetZoomState', 'OnMouseClick', 'RegionPosChanged', 'RegionTextChanged',
    'MakeDropMenu', 'ResourceURLs'].forEach(function (name) {
    F[name] = function () { return this.record(name, arguments); };
  });
})(lumo);
