#!/usr/bin/env python3
"""Runs the same command lines through two builds of sweepwav-cli and reports
every difference in the files written, standard output, standard error and
exit status. Used to show that a change inside the program keeps every byte
and text the same.

  tools/compare_builds.py OLD/sweepwav-cli NEW/sweepwav-cli [--cases N] [--show]

Each case runs in an empty folder of the same name for both builds, with HOME
pointing there (so no analyser is found). Run times in the final line are
blanked; everything else must match exactly.
"""
import argparse
import atexit
import hashlib
import os
import random
import re
import shutil
import subprocess
import sys

# A folder of this run's own, removed at the end: several may run at once on
# one machine.
WORK = "/tmp/sweepwav-compare-%d/run" % os.getpid()
atexit.register(shutil.rmtree, os.path.dirname(WORK), True)


def fixed_cases():
    c = []
    add = c.append
    add([["--help"]])
    add([["--info"]])
    add([["-o", "."]])
    add([["--steps", "3", "--file", "a", "-o", "."]])
    add([["--steps", "3", "--no-dither", "--info", "--plan", "p.csv"]])
    add([["--steps", "3", "--no-dither", "--plan", "p.json", "-o", "."]])
    add([["--steps", "3", "--no-dither", "--plan", "-", "--info"]])
    add([["--steps", "200", "--info"]])
    add([["--steps", "0", "--info"]])
    add([["--steps", "1", "--linear", "--info"]])
    add([["--start-freq", "1000", "--end-freq", "3000", "--steps", "2", "--linear", "--info"]])
    add([["--auto-name", "--steps", "2", "-o", ".", "--no-dither"]])
    add([["--auto-name", "--start-level", "-20", "--end-level", "-20.04", "--info"]])
    add([["--auto-name", "--start-freq", "999.95", "--end-freq", "1500", "--info"]])
    # refusals of the first stage, of the ranges and of the options
    for box in ["--start-freq", "--end-freq", "--start-level", "--end-level", "--steps", "--tone-ms",
                "--tone-cycles"]:
        add([[box, "x", "--info"]])
        add([[box, "1e9", "--info"]])
        add([[box, "-5", "--info"]])
    add([["--file", "a/b", "-o", "."]])
    add([["--rate", "44000"]])
    add([["--bits", "17"]])
    add([["--channels", "9"]])
    add([["--shift-mode", "3"]])
    add([["--start"]])
    add([["--strat-freq", "20"]])
    add([["-start-freq", "20"]])
    add([["--lead-in-ms", "70000"]])
    add([["--ramp-ms", "2000"]])
    add([["--signal-channels", "9"]])
    add([["--signal-channels", "1,x"]])
    add([["--channels", "2", "--signal-channels", "3", "-o", "."]])
    add([["--gap-ms", "1", "--ramp-ms", "100", "-o", "."]])
    add([["--seed", "x"]])
    add([["--plan", "p.txt"]])
    add([["--file", "-", "--info"]])
    add([["--auto-name", "--file", "x"]])
    add([["--info", "--quiet", "--steps", "2"]])
    add([["--output-dir="]])
    add([["--settings"]])
    add([["--settings", "missing.sweep", "--info"]])
    add([["--steps", "1000", "--tone-ms", "10000", "--rate", "192000", "--bits", "24", "--channels", "8",
          "--info"]])
    add([["--steps", "1000", "--tone-ms", "5000", "--rate", "192000", "--bits", "24", "--channels", "8",
          "--gap-ms", "60000", "--info"]])
    add([["--tone-ms", "0", "--shift-mode", "0", "-o", "."]])
    add([["--start-level", "0", "--end-level", "-200", "--steps", "4", "--bits", "24", "--no-dither",
          "-o", "."]])
    # settings files
    add([["--start-freq", "5", "--gap-ms", "12.5", "--signal-channels", "1,2", "--markers",
          "--save-settings", "s.sweep"], ["--settings", "s.sweep", "--info"]])
    add([["--save-settings", "s.sweep", "--file", "x", "--steps", "2"], ["--settings", "s.sweep", "-o", "."]])
    add([["--signal-channels", "each", "--channels", "3", "--ramp-ms", "2", "--lead-in-ms", "10",
          "--tail-ms", "10", "--gap-ms", "5", "--save-settings", "s.sweep"],
         ["--settings", "s.sweep", "--steps", "2", "--seed", "7", "-o", ".", "--plan", "p.csv"]])
    add([["--settings", "s.sweep"]], )
    for signal in (["--lead-in-ms", "3"], ["--tail-ms", "2.5"], ["--gap-ms", "4"], ["--ramp-ms", "1"],
                   ["--ramp-ms", "1", "--gap-ms", "3"], ["--ramp-ms", "2", "--lead-in-ms", "1", "--tail-ms", "1"],
                   ["--signal-channels", "2"], ["--signal-channels", "each"], ["--signal-channels", "all"],
                   ["--signal-channels", "2,1", "--channels", "3"]):
        add([["--steps", "3", "--tone-ms", "20", "--seed", "3", "--markers", "-o", ".", "--plan", "p.json"]
             + signal])
        add([["--steps", "3", "--tone-ms", "20", "--info"] + signal])
    # tones at band mid-bands and at listed frequencies
    for bands in ("1", "3", "6", "12", "24"):
        for nominal in ([], ["--nominal"]):
            add([["--bands", bands, "--start-freq", "900", "--end-freq", "1200", "--info"] + nominal])
            add([["--bands", bands, "--start-freq", "19.9", "--end-freq", "20000", "--tone-ms", "5",
                  "--tone-cycles", "0", "-o", ".", "--plan", "p.csv"] + nominal])
    for args in (["--bands", "3", "--start-freq", "20000", "--end-freq", "20", "--info"],
                 ["--bands", "3", "--start-freq", "30", "--end-freq", "31", "--info"],
                 ["--bands", "1", "--shift-mode", "1", "--info"],
                 ["--bands", "6", "--auto-name", "--info"],
                 ["--bands", "3", "--steps", "abc", "--info"],
                 ["--bands", "3", "--frequencies", "100"],
                 ["--bands", "24", "--start-freq", "10", "--end-freq", "94080", "--rate", "192000", "--bits", "24",
                  "--channels", "8", "--tone-ms", "10000", "--info"],
                 ["--frequencies", "1000,2000", "--rate", "32000", "--info"],
                 ["--frequencies", "997, 1500.0004, 150", "--shift-mode", "1", "--info"],
                 ["--frequencies", "100,abc", "--info"],
                 ["--frequencies", "100,25000", "--info"],
                 ["--frequencies", "100,200", "--auto-name", "--info"],
                 ["--frequencies", "100,200", "--end-freq", "x", "--steps", "-4", "-o", ".", "--markers"],
                 ["--frequencies", "100", "--frequencies", "200,300", "--info"],
                 ["--nominal", "--info"],
                 ["--freq", "20"], ["--fr", "20"], ["--frequenci", "20", "--info"],
                 ["--signal-channels", "1,1"]):
        add([args])
    add([["--bands", "6", "--start-freq", "900", "--end-freq", "1200", "--save-settings", "s.sweep"],
         ["--settings", "s.sweep", "--info"]])
    # Shortened names of the first options keep their meaning beside options added later.
    for args in (["--p", "p.csv"], ["--pl", "p.json"], ["--pla", "-"], ["--li"]):
        add([["--steps", "3", "--no-dither", "--info"] + args])
    # Every word length in every channel count, with and without markers,
    # dither and signal options; a few to standard output.
    for i, (bits, channels) in enumerate((b, c) for b in ("16", "18", "20", "22", "24") for c in range(1, 9)):
        a = ["--bits", bits, "--channels", str(channels), "--steps", "2", "--tone-ms", "7.3", "--seed", str(i)]
        a += ["--markers"] if i % 2 else ["--no-dither"]
        if i % 3 == 0:
            a += ["--gap-ms", "1.5", "--ramp-ms", "0.5", "--signal-channels", "each" if i % 2 else "1"]
        add([a + (["--file", "-"] if i % 7 == 0 else ["-o", ".", "--plan", "p.csv"])])
    # Plans at the 2 GB edge, each size on both sides: 16 bit mono, 24 bit
    # mono (odd audio) and 8 channels, with and without markers.
    edge = ["--rate", "192000", "--tone-ms", "10000", "--tone-cycles", "0", "--shift-mode", "0", "--info"]
    for bits, channels, steps, lead_ins, markers in (
            ("16", "1", "558", ("2405.2135", "2405.21875"), False),
            ("16", "1", "558", ("2268.9948", "2269"), True),
            ("24", "1", "371", ("8270.140625", "8270.14583"), False),
            ("24", "1", "371", ("8209.7396", "8209.7448"), True),
            ("24", "8", "45", ("6033.765625", "6033.77083"), False)):
        for lead_in in lead_ins:
            add([["--bits", bits, "--channels", channels, "--steps", steps, "--lead-in-ms", lead_in]
                 + (["--markers"] if markers else []) + edge])
    # Dither is fresh for every run unless a seed fixes it.
    return [[args if "--seed" in args else ["--seed", "5"] + args for args in case] for case in c]


def random_cases(n, rng):
    cases = []
    rates = ["32000", "44100", "48000", "96000", "192000"]
    for i in range(n):
        rate = rng.choice(rates)
        limit = round(int(rate) * 0.49)
        a = ["--rate", rate, "--bits", rng.choice(["16", "18", "20", "22", "24"]),
             "--channels", str(rng.randint(1, 8)),
             "--start-freq", str(round(rng.uniform(10, limit), rng.choice([0, 1, 3, 5]))),
             "--end-freq", str(round(rng.uniform(10, limit), rng.choice([0, 1, 3, 5]))),
             "--start-level", str(round(rng.uniform(-120, 0), rng.choice([0, 2, 4]))),
             "--end-level", rng.choice(["0", "-0.5", str(round(rng.uniform(-120, 0), 3))]),
             "--steps", str(rng.randint(0, 25)),
             "--tone-ms", str(round(rng.uniform(0, 40), rng.choice([0, 2]))),
             "--tone-cycles", str(rng.randint(0, 60)),
             "--shift-mode", str(rng.randint(0, 2))]
        if rng.random() < 0.4:
            a.append("--linear")
        if rng.random() < 0.5:
            a += ["--seed", str(rng.randint(0, 1 << 40))]
        else:
            a.append("--no-dither")
        if rng.random() < 0.3:
            a.append("--markers")
        if rng.random() < 0.35:
            for opt, top in (("--lead-in-ms", 20), ("--gap-ms", 10), ("--tail-ms", 20), ("--ramp-ms", 3)):
                if rng.random() < 0.5:
                    a += [opt, str(round(rng.uniform(0, top), 3))]
            if rng.random() < 0.5:
                a += ["--signal-channels", rng.choice(["each", "1", "2", "1,2"])]
        mode = rng.random()
        if mode < 0.2:
            a.append("--info")
        else:
            a += ["-o", ".", "--file", "r%d" % i]
        if rng.random() < 0.3:
            a += ["--plan", rng.choice(["p.csv", "p.json"])]
        cases.append([a])
    return cases


def run_case(cli, case):
    shutil.rmtree(os.path.dirname(WORK), ignore_errors=True)
    os.makedirs(WORK)
    env = dict(os.environ, HOME=WORK, LC_ALL="C")
    env.pop("WINEPREFIX", None)
    env.pop("XDG_CONFIG_HOME", None)
    out = []
    for args in case:
        p = subprocess.run([cli] + args, cwd=WORK, env=env, capture_output=True, timeout=600)
        err = re.sub(rb" in [0-9.]+ seconds", b" in T seconds", p.stderr)
        err = re.sub(rb"Done in [0-9.]+(min [0-9.]+)? seconds", b"Done in T", err)
        out.append((p.returncode, hashlib.sha256(p.stdout).hexdigest(), err.decode("utf-8", "replace"),
                    p.stdout[:2000] if b"\0" not in p.stdout[:2000] else b"<binary>"))
    files = {}
    for name in sorted(os.listdir(WORK)):
        with open(os.path.join(WORK, name), "rb") as f:
            files[name] = hashlib.sha256(f.read()).hexdigest()
    return out, files


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("old")
    ap.add_argument("new")
    ap.add_argument("--cases", type=int, default=200, help="random cases besides the fixed ones")
    ap.add_argument("--show", action="store_true", help="print every difference in full")
    a = ap.parse_args()
    cases = fixed_cases() + random_cases(a.cases, random.Random(20261207))
    differ = 0
    for i, case in enumerate(cases):
        old = run_case(os.path.abspath(a.old), case)
        new = run_case(os.path.abspath(a.new), case)
        if old != new:
            differ += 1
            print("case %d differs: %s" % (i, " ; ".join(" ".join(args) for args in case)))
            if a.show:
                for (o, n) in zip(old[0], new[0]):
                    if o != n:
                        print("  old:", o)
                        print("  new:", n)
                if old[1] != new[1]:
                    print("  old files:", old[1])
                    print("  new files:", new[1])
    shutil.rmtree(os.path.dirname(WORK), ignore_errors=True)
    print("%d command lines in %d cases, %d cases differ" %
          (sum(len(c) for c in cases), len(cases), differ))
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
