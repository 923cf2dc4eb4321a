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
    // Numbers live in a typed array: an answer that is one is held as it came, else they are
    // written into `store`, whose first values.length entries `values` views.
    this.values = this.is_text ? [] : new Float64Array(0);
    this.store = null;
    this.column_cache = null;
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
      var answered = call;
      var got = this.is_text ? '' : lumo.remote('RequestPixSamples', this.name, t, step, missing);
      // A host that sends no samples in binary answers this the plain way.
      if (this.is_text || !lumo.is_sample_array(got)) got = lumo.remote(call, this.name, t, step, missing);
      else answered = 'RequestPixSamples';
      // The same call with count 0 closes this series of requests on the host.
      lumo.remote(answered, this.name, t, step, 0);
      var n = this.append(got, missing);
      if (n < missing) this.ended = true;
      // Long pulls tell the host how far they got (a host without this method answers "").
      if (wanted > kChunk) lumo.remote('UpdateProgress', this.values.length, wanted);
    }
    return this.values.length > before;
  };

  // Appends a bridge answer to the samples and returns how many it gave: array-likes only,
  // numbers (or texts) only, never more than asked for; anything else ends the data and is
  // remembered for the error display.
  P.append = function (got, count) {
    if (got === '' || got === null || got === undefined) return 0;
    if (typeof got !== 'object' || typeof got.length !== 'number') {
      this.bad_answer = 'the host answered ' + typeof got + ' for the data of ' + this.name;
      return 0;
    }
    var n = Math.min(got.length, count);
    if (this.is_text) {
      for (var i = 0; i < n; ++i) {
        var v = got[i];
        this.values.push(v === undefined || v === null ? '' : String(v));
      }
      return n;
    }
    var held = this.values.length;
    if (lumo.is_sample_array(got) && held === 0) {
      // Read in place: the answer's own memory becomes the samples.
      this.values = n === got.length ? got : got.subarray(0, n);
      this.store = null;
      return n;
    }
    var store = this.room_for(held + n);
    if (lumo.is_sample_array(got)) store.set(n === got.length ? got : got.subarray(0, n), held);
    else lumo.read_numbers(got, n, store, held);
    this.values = store.subarray(0, held + n);
    return n;
  };

  // A store that holds the samples already held and has room for `total`.
  P.room_for = function (total) {
    var held = this.values;
    if (this.store && this.store.length >= total && held.buffer === this.store.buffer) return this.store;
    var store = new Float64Array(Math.max(total, held.length * 2, 1024));
    store.set(held);
    this.store = store;
    return store;
  };

  // A Float64Array or Float32Array, of this window or another (the tests' realm).
  lumo.is_sample_array = function (a) {
    var kind = Object.prototype.toString.call(a);
    return kind === '[object Float64Array]' || kind === '[object Float32Array]';
  };
  // Numbers of a plain answer into `out` from `at` on; texts are read as numbers, the rest is NaN.
  lumo.read_numbers = function (got, n, out, at) {
    for (var i = 0; i < n; ++i) {
      var v = got[i];
      out[at + i] = typeof v === 'number' ? v : (typeof v === 'string' && v !== '' ? +v : NaN);
    }
  };

  // The host's reduction of samples i0..i1 (counted from the first index) to the pixel columns
  // of the x mapping `map` ({o, off, k}; k 0 puts every sample in one column), the samples at
  // x = u.first + i * u.step: {read, index, values}, the number of samples the host read and the
  // kept (index, value) pairs, which the column reduction draws as it would draw all the
  // samples. Null from a host that does not reduce; the plot then pulls the samples.
  P.columns = function (i0, i1, u, map) {
    var key = [i0, i1, u.first, u.step, map.o, map.off, map.k].join(' ');
    if (this.column_cache && this.column_cache.key === key) return this.column_cache.value;
    var pairs = [], read = 0;
    for (var from = i0; from <= i1;) {
      var count = Math.min(i1 - from + 1, kChunk);
      var got = lumo.remote('RequestPixColumns', this.name, this.first + from, count, from, u.first, u.step, map.o, map.off, map.k);
      // A host without the call is not asked again; one without the source (yet) answers none.
      if (!lumo.is_sample_array(got)) { this.no_columns = true; return null; }
      if (got.length < 2 || got.length % 2 !== 0) return null;
      pairs.push(got.subarray(2));
      read += got[0];
      if (got[0] < count) break;
      from += count;
    }
    var n = pairs.reduce(function (sum, p) { return sum + p.length / 2; }, 0);
    var value = { read: read, index: new Float64Array(n), values: new Float64Array(n) };
    var at = 0;
    pairs.forEach(function (p) {
      for (var k = 0; k < p.length; k += 2, ++at) { value.index[at] = p[k]; value.values[at] = p[k + 1]; }
    });
    this.column_cache = { key: key, value: value };
    return value;
  };
  // Sample i (counted from the first index) as held, or asked of the host alone.
  P.sample_at = function (i) {
    if (i < this.values.length) return this.values[i];
    var got = lumo.remote('RequestPixSamples', this.name, this.first + i, 1, 1);
    return lumo.is_sample_array(got) && got.length > 0 ? got[0] : NaN;
  };

  // Part of the data changed on the host: drop it from `firstIndex` on and pull it again.
  P.invalidate = function (firstIndex, count) {
    this.column_cache = null;
    if (this.first === null) return;
    var from = Math.max(0, Math.floor(firstIndex - this.first));
    if (count <= 0 && from < this.values.length) return;
    if (from < this.values.length) {
      if (this.is_text) this.values.length = from;
      else this.values = this.values.subarray(0, from);
    }
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
