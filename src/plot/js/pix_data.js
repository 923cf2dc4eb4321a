// pix_data.js: data and label sources pulled from the host by index (`lumo.PixEnum`), and the
// uniform reading of a plotter's x or y data whatever form the markup gave it.
(function (lumo) {
  'use strict';

  // A source over `name` sampled on `interval`; labels come from RequestLabelsData, data from
  // RequestPixData. Samples are held from the first index on; a short answer ends the data.
  lumo.PixEnum = function (name, interval, isText) {
    if (!(this instanceof lumo.PixEnum)) return new lumo.PixEnum(name, interval, isText);
    this.name = String(name);
    this.interval = interval instanceof lumo.PixInterval ? interval : new lumo.PixInterval(0, 1, null, lumo.kClosedInterval);
    this.is_text = !!isText;
    this.reset();
  };
  var P = lumo.PixEnum.prototype;

  P.reset = function () {
    this.values = [];
    this.first = null;
    this.ended = false;
    this.bad_answer = null;
  };

  // First index: the interval's begin, or for 'begin' the first x of the view over the x step.
  P.first_index = function (view) {
    if (this.interval.begin !== null) return this.interval.begin;
    if (view && lumo.is_finite(view.xmin) && view.xstep > 0) return Math.floor(view.xmin / view.xstep);
    return 0;
  };
  // Samples wanted in all: up to ceil(end), or, for 'end', enough to fill the plot's x range.
  P.wanted_count = function (view) {
    var iv = this.interval;
    var n;
    if (iv.end !== null) {
      n = new lumo.PixInterval(this.first_index(view), iv.step, Math.ceil(iv.end), iv.type).finite_count();
    } else if (view && view.all) {
      n = lumo.kMaxCount;
    } else if (view && lumo.is_finite(view.xmax) && view.xstep > 0) {
      var firstX = lumo.is_finite(view.xfirst) ? view.xfirst : 0;
      n = Math.ceil((view.xmax - firstX) / view.xstep) + 1;
    } else {
      n = 0;
    }
    if (!(n > 0)) return 0;
    return Math.min(n, lumo.kMaxCount);
  };

  // Pulls what is missing, in requests of at most kChunk samples; returns true when new
  // samples arrived.
  var kChunk = 1 << 22;
  P.fetch = function (view) {
    var first = this.first_index(view);
    if (this.first !== first) { this.reset(); this.first = first; }
    var wanted = this.wanted_count(view);
    var before = this.values.length;
    var step = this.interval.step;
    var call = this.is_text ? 'RequestLabelsData' : 'RequestPixData';
    // A host without data sources has nothing to give for '$' names (yet): ask again later.
    if (this.values.length < wanted && !this.ended && this.name.charAt(0) === '$' && !lumo.host_has_data()) return false;
    while (!this.ended && this.values.length < wanted) {
      var missing = Math.min(wanted - this.values.length, kChunk);
      // A '$' source is read by sample index; an expression is evaluated at x values.
      var t = this.name.charAt(0) === '$' ? this.first + this.values.length : this.first + this.values.length * step;
      var got = lumo.remote(call, this.name, t, step, missing);
      // The same call with count 0 closes this series of requests on the host.
      lumo.remote(call, this.name, t, step, 0);
      var arr = this.accept(got, missing);
      for (var i = 0; i < arr.length; ++i) this.values.push(arr[i]);
      if (arr.length < missing) this.ended = true;
      // Long pulls tell the host how far they got (a host without this method answers "").
      if (wanted > kChunk) lumo.remote('UpdateProgress', this.values.length, wanted);
    }
    return this.values.length > before;
  };

  // Turns a bridge answer into samples: array-likes only, numbers (or texts) only, never more
  // than asked for; anything else ends the data and is remembered for the error display.
  P.accept = function (got, count) {
    if (got === '' || got === null || got === undefined) return [];
    if (typeof got !== 'object' || typeof got.length !== 'number') {
      this.bad_answer = 'the host answered ' + typeof got + ' for the data of ' + this.name;
      return [];
    }
    var n = Math.min(got.length, count);
    var out = new Array(n);
    var text = this.is_text;
    for (var i = 0; i < n; ++i) {
      var v = got[i];
      if (text) out[i] = v === undefined || v === null ? '' : String(v);
      else out[i] = typeof v === 'number' ? v : (typeof v === 'string' && v !== '' ? +v : NaN);
    }
    return out;
  };

  // Part of the data changed on the host: drop it from `firstIndex` on and pull it again.
  P.invalidate = function (firstIndex, count) {
    if (this.first === null) return;
    var from = Math.max(0, Math.floor(firstIndex - this.first));
    if (count <= 0 && from < this.values.length) return;
    if (from < this.values.length) this.values.length = from;
    this.ended = false;
  };

  // ---- reading a plotter's x or y data ----
  // Returns {length, at(i), uniform: {first, step} or null, source}.
  lumo.series = function (data, view, fallbackStep) {
    if (data instanceof lumo.PixEnum) {
      data.fetch(view);
      return { length: data.values.length, values: data.values, uniform: null, source: data };
    }
    if (data instanceof lumo.PixArray) {
      var vals = data.numbers();
      return { length: vals.length, values: vals, uniform: null, source: data };
    }
    if (data instanceof lumo.PixInterval) {
      var first = data.begin === null ? 0 : data.begin;
      var n = data.finite_count();
      return { length: n, values: null, uniform: { first: first, step: data.step || fallbackStep || 1 }, source: data };
    }
    return { length: 0, values: [], uniform: null, source: null };
  };
  lumo.series_at = function (s, i) {
    return s.uniform ? s.uniform.first + i * s.uniform.step : s.values[i];
  };
})(lumo);
