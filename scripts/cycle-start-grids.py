#!/usr/bin/env python3
"""Cycle-start grids run through spirohost's formula command, for one or more spirohost
binaries side by side.

  cycle-start-grids.py long  [--gen BIN] BIN...   long noisy generated two-sided recordings: wrong events
  cycle-start-grids.py min   [--smoothing N] [--short-expirations] BIN...  hand-made sin^2 breathing over
                                                  a grid of minimum cycles
  cycle-start-grids.py short [--gen BIN] BIN...   20-breath generated recordings, several settings
  cycle-start-grids.py irregular BIN...           hand-made irregular breathing (sighs, apnoeas with a
                                                  heartbeat's ripple, ramping rates, end-inspiratory
                                                  holds, shallow breaths, all mixed) with white and
                                                  correlated noise, over minimum cycles of 0.2 to 5 s
  cycle-start-grids.py opening [--settings S] BIN...  hand-made breathing with shallow breaths after a
                                                  noisy opening, against the same after a quiet one

Wrong events (long, short, irregular, opening): events in the first 3 s (opening: in the
opening) are ignored; an event within 0.15 s of a
true expiration's onset (start + Ti), an event more than 0.15 s from every true start and onset,
and a true start with no event within 0.15 s are each one wrong event. Over a minimum cycle
(irregular), the true starts are those an ideal finder keeps: each at least that long after the
last one kept.
"""
import argparse
import bisect
import concurrent.futures
import math
import os
import random
import signal
import subprocess
import sys
import tempfile

# The grids' scratch folder: made only while a grid runs (see main).
WORK = None
JOBS = int(os.environ.get("CYCLE_GRIDS_JOBS", "3"))


def run(cmd):
    r = subprocess.run(cmd, capture_output=True, text=True)
    if r.returncode != 0:
        raise RuntimeError(" ".join(cmd) + ": " + r.stdout + r.stderr)
    return r.stdout


def events(binary, recording, formula, tag):
    """Times (s) of the events of formula's eventinterp: where its value appears or changes."""
    out = os.path.join(WORK, tag + ".out.csv")
    run([binary, "formula", recording, "eventinterp(%s, 0)" % formula, "--out", out])
    found = []
    previous = ""
    with open(out) as f:
        for line in f:
            t, _, v = line.rstrip("\n").partition(",")
            if v != "" and v != previous:
                found.append(float(t))
            previous = v
    os.remove(out)
    return found


def figures(path):
    breaths = []
    with open(path) as f:
        for line in f:
            cells = line.strip().split(",")
            if len(cells) >= 7 and cells[0].isdigit():
                breaths.append((float(cells[2]), float(cells[3]), float(cells[4])))
    return breaths


def wrong_events(found, breaths, tolerance=0.15, skip=3.0):
    starts = [b[0] for b in breaths]
    onsets = [b[0] + b[1] for b in breaths]
    wrong = 0
    for t in found:
        if t < skip:
            continue
        near = lambda xs: any(abs(t - x) <= tolerance for x in xs)
        if near(onsets) or not near(starts):
            wrong += 1
    wrong += sum(1 for s in starts if not any(abs(t - s) <= tolerance for t in found if t >= skip))
    return wrong


def generate(gen, name, options):
    edf = os.path.join(WORK, name + ".edf")
    fig = os.path.join(WORK, name + ".csv")
    if not os.path.exists(edf):
        run([gen, "generate", edf, "--figures", fig] + options)
    return edf, figures(fig)


def generated_grid(args, cases, formula):
    """cases: (name, generate options). Prints one row per case, one column per binary."""
    recs = {}
    with concurrent.futures.ThreadPoolExecutor(JOBS) as pool:
        for (name, opts), rec in zip(cases, pool.map(lambda c: generate(args.gen, *c), cases)):
            recs[name] = rec
        jobs = {}
        for name, _ in cases:
            for i, b in enumerate(args.binaries):
                edf, _ = recs[name]
                jobs[(name, i)] = pool.submit(events, b, edf, formula, "%s-%d" % (name, i))
        totals = [0] * len(args.binaries)
        print("%-34s" % "recording" + "".join("%10s" % label(b) for b in args.binaries))
        for name, _ in cases:
            row = []
            for i in range(len(args.binaries)):
                w = wrong_events(jobs[(name, i)].result(), recs[name][1])
                totals[i] += w
                row.append(w)
            print("%-34s" % name + "".join("%10d" % w for w in row), flush=True)
        print("%-34s" % "total" + "".join("%10d" % t for t in totals))


def label(binary):
    return os.path.basename(os.path.dirname(os.path.dirname(os.path.abspath(binary)))) or binary


def long_grid(args):
    cases = []
    for rate in (200, 1000):
        for noise in (0.02, 0.05, 0.08):
            for drift in (0.002, 0.01):
                for seed in (1, 2, 3, 4):
                    name = "r%d n%g d%g s%d" % (rate, noise, drift, seed)
                    cases.append((name, ["--rate", str(rate), "--quiet", "60", "--forced", "2", "--noise",
                                         str(noise), "--drift", str(drift), "--seed", str(seed)]))
    generated_grid(args, cases, "cyclestarts(ch1, 0, %s)" % args.settings)


def short_grid(args):
    cases = []
    for rate in (50, 100, 1000):
        for noise in (0.0001, 0.02, 0.05, 0.08):
            for seed in range(1, 6):
                name = "r%d n%g s%d" % (rate, noise, seed)
                cases.append((name, ["--rate", str(rate), "--noise", str(noise), "--seed", str(seed)]))
    generated_grid(args, cases, "cyclestarts(ch1, 0, %s)" % args.settings)


# Hand-made sin^2 breathing: each cycle in over ti (positive) and out over te, both halves
# sin^2-shaped and of one volume; cycle k lasts period * (1 +- 0.05 (0.5 + 0.5 frac(0.618 k))),
# the sign alternating, so that no two cycles in a row have one length (the events are told apart
# by their values). One-sided: the inspiration is a rest at zero.
def cycles(period, ti, seconds):
    out, t, k = [], 0.0, 0
    while t < seconds:
        f = 1.0 + (-1) ** k * 0.05 * (0.5 + 0.5 * ((0.618 * k) % 1.0))
        out.append((t, ti * f, (period - ti) * f))
        t += period * f
        k += 1
    return out


def flow(cs, t, two_sided, volume=0.5):
    for start, ti, te in cs:
        s = t - start
        if 0 <= s < ti:
            return 2 * volume / ti * math.sin(math.pi * s / ti) ** 2 if two_sided else 0.0
        if ti <= s < ti + te:
            return -2 * volume / te * math.sin(math.pi * (s - ti) / te) ** 2
    return 0.0


def write_csv(path, cs, two_sided, rate, lead, seconds, noise, seed):
    rnd = random.Random(seed)
    with open(path, "w") as f:
        f.write("time, Raw [V]\n")
        n = int(seconds * rate)
        for i in range(n):
            t = i / rate
            v = flow(cs, t + lead, two_sided) + (noise * (2 * rnd.random() - 1) if noise else 0.0)
            f.write("%.5f,%.7f\n" % (t, v))


def min_case(binary, case, smoothing):
    (period, ti, two_sided, rate, noise, phase, minimum, path, cs, lead, seconds) = case
    level = 0.0 if noise == 0 else (0.01 if two_sided else -0.01)
    found = events(binary, path, "cyclestarts(ch1, %g, 0.5, %g, %g, 0)" % (level, minimum, smoothing),
                   os.path.basename(path) + "-%g-%s" % (minimum, label(binary)))
    # True starts: where the flow crosses the level upwards (two-sided: in the inspiration;
    # one-sided: at the expiration's end), in recording time.
    amp = 2 * 0.5
    truth, every = [], []
    for start, cti, cte in cs:
        if two_sided:
            a = amp / cti
            s = start + (cti / math.pi * math.asin(math.sqrt(level / a)) if level > 0 else 0.0)
        else:
            a = amp / cte
            s = start + cti + cte - (cte / math.pi * math.asin(math.sqrt(-level / a)) if level < 0 else 0.0)
        s -= lead
        every.append(s)
        # Confirmed only once the next expiration has begun inside the recording (a rest later).
        if 0 < s < seconds - (max(cti, cte) * 1.1 + 0.1 if not two_sided else 0.3 * period):
            truth.append(s)
    tol = 0.05 + 4.0 / rate
    missing = sum(1 for s in truth[1:] if not any(abs(t - s) <= tol for t in found))
    spurious = sum(1 for t in found if not any(abs(t - s) <= tol for s in every))
    return missing, spurious, len(truth) - 1


def min_grid(args):
    shapes = [(1.0, 0.4), (4.5, 1.4), (1.5, 0.5), (2.0, 0.9), (3.0, 1.0), (5.0, 2.5)]
    if args.short_expirations:
        # One-sided: expirations shorter than half the cycle, long rests.
        shapes += [(5.0, 4.0), (1.0, 0.8), (2.0, 1.5)]
    cases = []
    for period, ti in shapes:
        shortest = period * 0.95
        minimums = sorted({0.0, 0.2, 0.5, round(0.3 * shortest, 2), round(0.6 * shortest, 2),
                           round(0.8 * shortest, 2), round(0.95 * shortest, 2)})
        minimums = [m for m in minimums if m < shortest]
        for two_sided in (True, False):
            for rate in (50, 100, 200, 1000):
                for noise in (0.0, 0.005):
                    for phase in (0.0, 0.5):
                        lead = ti + phase * (period - ti) if phase else 0.0
                        seconds = max(50.0, 12 * period)
                        cs = cycles(period, ti, seconds + lead + period)
                        name = "p%g-ti%g-%s-r%d-n%g-ph%g" % (period, ti, "two" if two_sided else "one", rate,
                                                              noise, phase)
                        path = os.path.join(WORK, name + ".csv")
                        write_csv(path, cs, two_sided, rate, lead, seconds, noise, 7)
                        for m in minimums:
                            cases.append((period, ti, two_sided, rate, noise, phase, m, path, cs, lead, seconds))
    with concurrent.futures.ThreadPoolExecutor(JOBS) as pool:
        results = {b: list(pool.map(lambda c, b=b: min_case(b, c, args.smoothing), cases)) for b in args.binaries}
    print("min-cycle grid: %d runs per binary, smoothing %g" % (len(cases), args.smoothing))
    for b in args.binaries:
        rs = results[b]
        bad = [(c, r) for c, r in zip(cases, rs) if r[0] or r[1]]
        print("%s: %d runs wrong, %d starts missing (of %d), %d spurious" %
              (label(b), len(bad), sum(r[0] for r in rs), sum(r[2] for r in rs), sum(r[1] for r in rs)))
        for kind in ("two", "one"):
            sel = [(c, r) for c, r in zip(cases, rs) if (c[2] and kind == "two") or (not c[2] and kind == "one")]
            print("  %s-sided: %d of %d runs wrong, %d missing, %d spurious" %
                  (kind, sum(1 for c, r in sel if r[0] or r[1]), len(sel), sum(r[0] for c, r in sel),
                   sum(r[1] for c, r in sel)))
        if args.verbose:
            for c, r in bad:
                print("    period %g ti %g %s rate %d noise %g phase %g min %g: missing %d of %d, spurious %d" %
                      (c[0], c[1], "two" if c[2] else "one", c[3], c[4], c[5], c[6], r[0], r[2], r[1]))


# Hand-made irregular breathing: a breath is (start, ti, hold, te, volume, pause), in over ti,
# holding, out over te, then resting (only in an apnoea); both halves sin^2-shaped and of the breath's volume. Each
# kind says how its breaths vary: irregular (cycles of 2.5 to 6 s, 0.3 to 0.8 L), sighs (every
# eighth breath 2.5 times as deep and long), apnoeas (a pause of 10 to 20 s every sixth breath,
# with a heartbeat's ripple throughout), ramp (10 to 40 breaths a minute and back), holds
# (end-inspiratory holds of 0.5 to 2 s), shallow (a quarter of the breaths 15 to 30 % deep), and
# mixed (each breath any of these).
KINDS = ("irregular", "sighs", "apnoeas", "ramp", "holds", "shallow", "mixed")


def breath_list(kind, seconds, rnd, start=0.0):
    out, t, k = [], start, 0
    while t < seconds:
        this = rnd.choice(KINDS[:-1]) if kind == "mixed" else kind
        period, volume = rnd.uniform(3.5, 4.5), rnd.uniform(0.4, 0.6)
        hold = pause = 0.0
        if this == "irregular":
            period, volume = rnd.uniform(2.5, 6.0), rnd.uniform(0.3, 0.8)
        elif this == "sighs" and k % 8 == 7:
            period, volume = period * 2.5, volume * 2.5
        elif this == "apnoeas" and k % 6 == 5:
            pause = rnd.uniform(10.0, 20.0)
        elif this == "ramp":
            share = abs(((t - start) / max(seconds - start, 1.0)) * 2 - 1)  # 1 at the ends, 0 halfway
            period = 60.0 / (40 - 30 * share) * rnd.uniform(0.95, 1.05)
            volume *= 0.6 + 0.4 * share
        elif this == "holds" and k % 2 == 1:
            hold = rnd.uniform(0.5, 2.0)
        elif this == "shallow" and rnd.random() < 0.25:
            volume *= rnd.uniform(0.15, 0.3)
        ti = period * rnd.uniform(0.35, 0.45)
        te = period - ti
        out.append((t, ti, hold, te, volume, pause))
        t += ti + hold + te + pause
        k += 1
    return out


def breath_flow(breaths, starts, t):
    """starts: the breaths' starts, in order."""
    k = bisect.bisect_right(starts, t) - 1
    if k < 0:
        return 0.0
    start, ti, hold, te, volume, pause = breaths[k]
    s = t - start
    if s < ti:
        return 2 * volume / ti * math.sin(math.pi * s / ti) ** 2
    s -= ti + hold
    if 0 <= s < te:
        return -2 * volume / te * math.sin(math.pi * s / te) ** 2
    return 0.0


def noise_source(rnd, deviation, span):
    """Gaussian noise of this deviation, averaged over span samples (1: white)."""
    recent = [rnd.gauss(0, 1) for _ in range(span)]
    while True:
        recent = recent[1:] + [rnd.gauss(0, 1)]
        yield deviation * sum(recent) / math.sqrt(span)


def write_breathing(path, breaths, rate, seconds, noise, span, seed, opening=(0.0, 0.0), ripple=0.0):
    """The breaths with noise on them; opening: (seconds, deviation) of white noise before them."""
    source = noise_source(random.Random(seed), noise, span)
    loud = random.Random(seed + 1000003)
    starts = [b[0] for b in breaths]
    with open(path, "w") as f:
        f.write("time, Flow [L/s]\n")
        for i in range(int(seconds * rate)):
            t = i / rate
            v = breath_flow(breaths, starts, t) + next(source) + ripple * math.sin(2 * math.pi * 1.2 * t)
            if t < opening[0]:
                v += loud.gauss(0, opening[1])
            f.write("%.4f,%.6f\n" % (t, v))


def kept_starts(breaths, minimum):
    kept = []
    for b in breaths:
        if not kept or b[0] - kept[-1][0] >= minimum:
            kept.append(b)
    return kept


def judged(breaths):
    """As wrong_events takes them: (start, start to the expiration's onset, te)."""
    return [(b[0], b[1] + b[2], b[3]) for b in breaths]


def irregular_case(binary, case):
    name, path, breaths, settings, minimum = case
    found = events(binary, path, "cyclestarts(ch1, 0, %s, %g, %s, 0)" % (settings[0], minimum, settings[1]),
                   "%s-%g-%s" % (name, minimum, label(binary)))
    return wrong_events(found, judged(kept_starts(breaths, minimum)))


def irregular_grid(args):
    recordings, cases = [], []
    for kind in KINDS:
        for rate in (50, 100, 200, 1000):
            for noise in (0.01, 0.04):
                for span in (1, 3, 10):
                    seed = len(recordings) + 1
                    rnd = random.Random(seed)
                    name = "%s-r%d-n%g-c%d" % (kind, rate, noise, span)
                    path = os.path.join(WORK, name + ".csv")
                    breaths = breath_list(kind, 120.0, rnd)
                    settings = rnd.choice([(0.5, 8), (0.25, 8), (0.5, 1), (0.5, 4)])
                    recordings.append((path, breaths, rate, 120.0, noise, span, seed, (0.0, 0.0),
                                       0.03 if kind == "apnoeas" else 0.0))
                    for minimum in (0.2, 0.5, 1.0, 2.0, 5.0):
                        cases.append((name, path, breaths, settings, minimum))
    with concurrent.futures.ThreadPoolExecutor(JOBS) as pool:
        list(pool.map(lambda r: write_breathing(*r), recordings))
        results = {b: list(pool.map(lambda c, b=b: irregular_case(b, c), cases)) for b in args.binaries}
    print("irregular grid: %d runs per binary" % len(cases))
    print("%-34s" % "kind" + "".join("%12s" % label(b) for b in args.binaries))
    for kind in KINDS + ("white", "correlated", "total"):
        def chosen(c):
            return (kind == "total" or c[0].startswith(kind + "-") or (kind == "white" and c[0].endswith("-c1"))
                    or (kind == "correlated" and not c[0].endswith("-c1")))
        print("%-34s" % kind + "".join("%12d" % sum(r for c, r in zip(cases, results[b]) if chosen(c))
                                       for b in args.binaries))
    if args.verbose:
        for i, c in enumerate(cases):
            print("  %s min %g settings %s: %s" % (c[0], c[4], c[3], " ".join(str(results[b][i])
                                                                         for b in args.binaries)))


def opening_case(binary, settings, case):
    name, path, breaths, opening = case
    found = events(binary, path, "cyclestarts(ch1, 0, %s)" % settings, "%s-%s" % (name, label(binary)))
    after = [t for t in found if t >= opening]
    shallow = [b for b in breaths if b[4] < 0.2]
    missed = sum(1 for b in shallow if not any(abs(t - b[0]) <= 0.15 for t in after))
    return wrong_events(after, judged(breaths), skip=opening), missed, len(shallow)


def opening_grid(args):
    """60 breaths every 4 s, a quarter of them 15 to 30 % deep, with white noise of 0.01 L/s,
    after an opening of noise; the quiet opening has only the breathing's noise."""
    recordings, cases = [], []
    for rate in (50, 100, 200, 1000):
        for seconds in (5, 10, 20):
            for deviation in (0.0, 0.05, 0.1, 0.2):
                rnd = random.Random(rate + seconds)
                breaths = [(seconds + 4.0 * k, ti, 0.0, 4.0 - ti, volume, 0.0)
                           for k in range(60)
                           for ti, volume in [(rnd.uniform(1.2, 1.5),
                                               0.5 * (rnd.uniform(0.15, 0.3) if rnd.random() < 0.25 else 1.0))]]
                name = "r%d-open%gs-n%g" % (rate, seconds, deviation)
                path = os.path.join(WORK, name + ".csv")
                recordings.append((path, breaths, rate, seconds + 241.0, 0.01, 1, rate, (seconds, deviation)))
                cases.append((name, path, breaths, seconds))
    with concurrent.futures.ThreadPoolExecutor(JOBS) as pool:
        list(pool.map(lambda r: write_breathing(*r), recordings))
        results = {b: list(pool.map(lambda c, b=b: opening_case(b, args.settings, c), cases))
                   for b in args.binaries}
    print("opening grid: wrong events after the opening / shallow breaths missed (of)")
    print("%-34s" % "recording" + "".join("%16s" % label(b) for b in args.binaries))
    for i, c in enumerate(cases):
        print("%-34s" % c[0] + "".join("%10d %2d/%2d" % results[b][i] for b in args.binaries))


def main():
    global WORK
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("grid", choices=["long", "min", "short", "irregular", "opening"])
    p.add_argument("binaries", nargs="+")
    p.add_argument("--gen", help="the spirohost that generates the recordings (default: the first)")
    p.add_argument("--settings", default="0.5, 0.5, 8, 0",
                   help="cyclestarts' numbers after the level (long, short, opening)")
    p.add_argument("--smoothing", type=float, default=8, help="the moving mean's length in samples (min)")
    p.add_argument("--short-expirations", action="store_true",
                   help="also shapes whose expirations are shorter than their rests (min)")
    p.add_argument("-v", "--verbose", action="store_true")
    args = p.parse_args()
    args.gen = args.gen or args.binaries[0]
    grids = {"long": long_grid, "min": min_grid, "short": short_grid, "irregular": irregular_grid,
             "opening": opening_grid}
    # Termination unwinds as an interrupt does, so that the scratch folder goes too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    with tempfile.TemporaryDirectory(prefix="grids-", dir=os.environ.get("CYCLE_GRIDS_TMP")) as work:
        WORK = work
        grids[args.grid](args)


if __name__ == "__main__":
    main()
