// Checks a text against the SVG subset the host's printable SVG reader reads; returns the list
// of offences (empty when the text keeps to it).
'use strict';

const num = /^-?\d+(\.\d+)?$/;
const colour = /^(#[0-9a-f]{6}|rgba\(\d{1,3},\d{1,3},\d{1,3},[\d.]+\)|none)$/;

function attrs(tag) {
  const out = {};
  const re = /([\w:-]+)="([^"]*)"/g;
  let m;
  while ((m = re.exec(tag))) out[m[1]] = m[2];
  return out;
}

function check(svg) {
  const bad = [];
  const tags = svg.match(/<[a-zA-Z][^>]*>/g) || [];
  if (!/^<svg [^>]*xmlns:xlink="http:\/\/www\.w3\.org\/1999\/xlink"/.test(svg)) bad.push('root svg without xmlns:xlink');
  if ((svg.match(/<defs>/g) || []).length !== 1) bad.push('not exactly one defs');
  if ((svg.match(/<filter /g) || []).length !== 1) bad.push('not exactly one filter');
  if (/NaN|Infinity/.test(svg)) bad.push('NaN or Infinity');
  const clips = svg.match(/<clipPath[^>]*>([\s\S]*?)<\/clipPath>/g) || [];
  for (const c of clips) if ((c.match(/<rect /g) || []).length !== 1 || /<(path|g|text|line)/.test(c)) bad.push('clipPath not one rect');
  for (const tag of tags) {
    const name = tag.match(/^<([a-zA-Z]+)/)[1];
    const a = attrs(tag);
    for (const k of ['x', 'y', 'width', 'height', 'x1', 'y1', 'x2', 'y2', 'cx', 'cy', 'r', 'rx', 'ry']) {
      if (a[k] !== undefined && name !== 'svg' && !num.test(a[k])) bad.push(`${name} ${k}="${a[k]}"`);
    }
    for (const k of ['width', 'height']) if (a[k] !== undefined && +a[k] < 0) bad.push(`${name} negative ${k}`);
    if (a.d !== undefined && !/^(M-?\d+(\.\d+)? -?\d+(\.\d+)?)( [ML]-?\d+(\.\d+)? -?\d+(\.\d+)?)*$/.test(a.d)) bad.push('path d ' + a.d.slice(0, 60));
    if (a.transform !== undefined) {
      const tr = /^translate\(\d+(\.\d+)? \d+(\.\d+)?\)$/.test(a.transform);
      const rot = /^rotate\(-?\d+(\.\d+)? -?\d+(\.\d+)? -?\d+(\.\d+)?\)$/.test(a.transform);
      if (!(name === 'g' ? tr : rot)) bad.push(`${name} transform ${a.transform}`);
    }
    if (a.style !== undefined) {
      for (const entry of a.style.split(';')) {
        const [k, v] = entry.split(':');
        if ((k === 'fill' || k === 'stroke') && !colour.test(v)) bad.push(`colour ${k}:${v}`);
        if (k === 'stroke-dasharray' && name !== 'line') bad.push('dash outside a line');
        if (/[\\"]/.test(v || '')) bad.push('quote or backslash in style');
      }
    }
    if (name === 'rect' && ['x', 'y', 'width', 'height'].some((k) => a[k] === undefined)) bad.push('rect without geometry');
    if (['path', 'line', 'circle', 'ellipse', 'use'].includes(name) && a.style === undefined) bad.push(name + ' without style');
    if (name === 'text' && !(/font-size:/.test(a.style) && /font-family:/.test(a.style) && a['text-anchor'] && a['dominant-baseline'])) bad.push('text without font or alignment');
    if (!['svg', 'defs', 'path', 'circle', 'filter', 'feGaussianBlur', 'rect', 'clipPath', 'g', 'text', 'line', 'ellipse', 'use'].includes(name)) bad.push('element ' + name);
  }
  return bad;
}

module.exports = { check };
