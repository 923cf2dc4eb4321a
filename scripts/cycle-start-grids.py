#!/usr/bin/env python3
"""Cycle-start grids run through spirohost's formula command, for one or more spirohost
binaries side by side.

  cycle-start-grids.py long  [--gen BIN] BIN...   long noisy generated two-sided recordings: wrong events
  cycle-start-grids.py min   [--smoothing N] [--short-expirations] BIN...  hand-made sin^2 breathing over
                                                  a grid of minimum cycles
  cycle-start-grids.py short [--gen BIN] BIN...   20-breath generated recordings, several settings

Wrong events (long, short): events in the first 3 s are ignored; an event within 0.15 s of a
true expiration's onset (start + Ti), an event more than 0.15 s from every true start and onset,
and a true start with no event within 0.15 s are each one wrong event.
"""
import argparse
import concurrent.futures
import math
import os
import random
import subprocess
import sys
import tempfile

WORK = tempfile.mkdtemp(prefix="grids-", dir=os.environ.get("CYCLE_GRIDS_TMP", "/tmp"))
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


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("grid", choices=["long", "min", "short"])
    p.add_argument("binaries", nargs="+")
    p.add_argument("--gen", help="the spirohost that generates the recordings (default: the first)")
    p.add_argument("--settings", default="0.5, 0.5, 8, 0",
                   help="cyclestarts' numbers after the level (long, short)")
    p.add_argument("--smoothing", type=float, default=8, help="the moving mean's length in samples (min)")
    p.add_argument("--short-expirations", action="store_true",
                   help="also shapes whose expirations are shorter than their rests (min)")
    p.add_argument("-v", "--verbose", action="store_true")
    args = p.parse_args()
    args.gen = args.gen or args.binaries[0]
    {"long": long_grid, "min": min_grid, "short": short_grid}[args.grid](args)


if __name__ == "__main__":
    main()
