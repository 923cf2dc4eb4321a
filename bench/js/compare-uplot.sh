#!/usr/bin/env bash
# Draws 1,000,000 samples with the page library and with uPlot in one headless Chromium,
# interleaved over five rounds after a warm-up round, and prints the medians of the first draw
# (a new plot that pulls its samples and draws) and of a redraw from scratch (the reduction
# rebuilt and drawn again) with their ratios (ours / uPlot). uPlot is installed from npm into a
# scratch folder outside the repository (SPIRO_BENCH_PEER, default /tmp/spiro-bench-peer): the
# product neither ships nor depends on it. Extra arguments go to the page's query (rounds=N;
# answer=array: the host stand-in answers plain arrays, as the JSON route does, instead of
# typed arrays).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
peer_dir="${SPIRO_BENCH_PEER:-/tmp/spiro-bench-peer}"
case "$peer_dir" in
  "$(cd "$here/../.." && pwd)"*) echo "SPIRO_BENCH_PEER must be outside the repository" >&2; exit 2 ;;
esac
peer="$peer_dir/node_modules/uplot/dist/uPlot.iife.min.js"
if [ ! -f "$peer" ]; then
  mkdir -p "$peer_dir"
  npm install --prefix "$peer_dir" --no-save --no-package-lock --silent uplot >/dev/null
fi
query="peer=$peer"
for extra in "$@"; do query="$query&$extra"; done
browser="${CHROMIUM:-/usr/bin/chromium}"
"$browser" --headless --no-sandbox --disable-gpu --allow-file-access-from-files --hide-scrollbars \
  --window-size=1000,760 --dump-dom "file://$here/compare-uplot.html?$query" 2>/dev/null |
  python3 -c 'import sys, re, html; m = re.search(r"<pre id=\"results\">(.*?)</pre>", sys.stdin.read(), re.S); print(html.unescape(m.group(1)) if m and m.group(1) else "no results"); sys.exit(0 if m and m.group(1) else 1)'
echo "load: $(uptime | sed 's/.*load average: //')"
