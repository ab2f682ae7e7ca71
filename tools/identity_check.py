#!/usr/bin/env python3
"""The same settings give the same bytes on every build: runs a table of
settings through the Linux build with its widest vector sine, the Linux
build with the baseline one (SWEEPWAV_SCALAR_SINE=1) and the Windows build
under Wine,
and compares the WAV file, Show Info (--info) and the plan export in CSV and
in JSON, byte for byte. Run by tools/test-windows.sh with WINEPREFIX set.

  tools/identity_check.py WINDOWS_EXE LINUX_CLI WORK_DIR [--settings N]
"""
import argparse
import hashlib
import os
import random
import shutil
import subprocess
import sys


def fixed_settings():
    s = []
    # Every word length and several channel counts, dithered with a seed and not.
    for bits in ("16", "18", "20", "22", "24"):
        for channels in ("1", "2", "8"):
            s.append(["--bits", bits, "--channels", channels, "--seed", "11"])
        s.append(["--bits", bits, "--no-dither", "--steps", "30", "--tone-ms", "50"])
    # Long high tones (10 s, the longest a tone's time can ask for; phases up
    # to millions of radians), and tones of 200000 cycles.
    s.append(["--rate", "192000", "--channels", "1", "--bits", "24", "--steps", "8", "--start-freq", "12000",
              "--end-freq", "20000", "--tone-ms", "10000", "--seed", "3"])
    s.append(["--rate", "192000", "--channels", "1", "--bits", "16", "--steps", "3", "--start-freq", "60000.5",
              "--end-freq", "94080", "--tone-ms", "10000", "--no-dither"])
    s.append(["--rate", "96000", "--channels", "1", "--bits", "20", "--steps", "2", "--start-freq", "15000.001",
              "--end-freq", "19999.37", "--tone-ms", "0", "--tone-cycles", "200000", "--seed", "12"])
    # 0 dBFS, and just below it, where the peaks and the dither reach the largest code.
    for level in ("0", "-0.001", "-0.01"):
        for bits in ("16", "24"):
            s.append(["--start-level", level, "--end-level", level, "--bits", bits, "--seed", "5", "--steps", "4"])
    # Markers, shift modes, linear steps and the signal options.
    s.append(["--markers", "--seed", "7", "--steps", "12"])
    for mode in ("0", "1", "2"):
        s.append(["--shift-mode", mode, "--steps", "20", "--tone-ms", "33.3", "--seed", "9"])
    s.append(["--linear", "--rate", "96000", "--bits", "24", "--no-dither"])
    s.append(["--ramp-ms", "5", "--gap-ms", "20", "--lead-in-ms", "10", "--tail-ms", "10", "--seed", "2",
              "--bits", "24", "--steps", "6"])
    s.append(["--ramp-ms", "1000", "--gap-ms", "5", "--tone-ms", "2500", "--steps", "2", "--no-dither",
              "--rate", "192000", "--bits", "20", "--channels", "1"])
    s.append(["--signal-channels", "each", "--channels", "3", "--ramp-ms", "2", "--gap-ms", "4", "--seed", "4"])
    s.append(["--signal-channels", "2,1", "--channels", "4", "--markers", "--seed", "8", "--steps", "3"])
    return s


def random_settings(n, rng):
    rates = ["32000", "44100", "48000", "96000", "192000"]
    settings = []
    for _ in range(n):
        rate = rng.choice(rates)
        limit = round(int(rate) * 0.49)
        a = ["--rate", rate, "--bits", rng.choice(["16", "18", "20", "22", "24"]),
             "--channels", str(rng.randint(1, 8)),
             "--start-freq", str(round(rng.uniform(10, limit), rng.choice([0, 1, 3, 5]))),
             "--end-freq", str(round(rng.uniform(10, limit), rng.choice([0, 1, 3, 5]))),
             "--start-level", rng.choice(["0", str(round(rng.uniform(-120, 0), rng.choice([0, 2, 4])))]),
             "--end-level", rng.choice(["0", "-0.5", str(round(rng.uniform(-120, 0), 3))]),
             "--steps", str(rng.randint(0, 40)),
             "--tone-ms", str(round(rng.uniform(0, 60), rng.choice([0, 2]))),
             "--tone-cycles", str(rng.randint(0, 60)),
             "--shift-mode", str(rng.randint(0, 2))]
        if rng.random() < 0.4:
            a.append("--linear")
        a += ["--seed", str(rng.randint(0, 1 << 40))] if rng.random() < 0.6 else ["--no-dither"]
        if rng.random() < 0.3:
            a.append("--markers")
        if rng.random() < 0.35:
            for opt, top in (("--lead-in-ms", 20), ("--gap-ms", 10), ("--tail-ms", 20), ("--ramp-ms", 3)):
                if rng.random() < 0.5:
                    a += [opt, str(round(rng.uniform(0, top), 3))]
            if rng.random() < 0.5:
                a += ["--signal-channels", rng.choice(["each", "1", "2", "1,2"])]
        settings.append(a)
    return settings


def digest(data):
    return hashlib.sha256(data).hexdigest()


class Build:
    """One way of running the program: its command, its environment, and how
    it spells the work folder."""

    def __init__(self, name, command, env, folder):
        self.name, self.command, self.env, self.folder = name, command, env, folder

    def run(self, work, settings):
        """The WAV file and the CSV plan of one run, and Show Info and the
        JSON plan of another, as name -> SHA-256."""
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        sep = "\\" if self.name == "windows" else "/"
        folder = self.folder(work)
        write = self.command + ["-q", "-o", folder, "--file", "out", "--plan", folder + sep + "p.csv"] + settings
        info = self.command + ["--info", "--plan", folder + sep + "p.json"] + settings
        out = {}
        for key, args in (("write", write), ("info", info)):
            p = subprocess.run(args, env=self.env, capture_output=True, stdin=subprocess.DEVNULL, timeout=900)
            out[key + " status"] = str(p.returncode)
            out[key + " stdout"] = digest(p.stdout)
            if p.returncode != 0:  # what it said, to show with the difference
                out[key + " stderr"] = p.stderr.decode(errors="replace").strip()
        for name in sorted(os.listdir(work)):
            with open(os.path.join(work, name), "rb") as f:
                out[name] = digest(f.read())
        return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("windows_exe")
    ap.add_argument("linux_cli")
    ap.add_argument("work")
    ap.add_argument("--settings", type=int, default=200, help="random settings besides the fixed ones")
    a = ap.parse_args()
    if "WINEPREFIX" not in os.environ:
        sys.exit("identity_check.py: WINEPREFIX must name the Wine prefix to run the Windows build in")
    # A Wine server that stays between the runs: each run then starts in
    # a fraction of a second instead of seconds. A server that is still
    # running (from the checks before) would exit with its last program and
    # take the persistence with it, so it is stopped first.
    subprocess.run(["wineserver", "-k"], check=False, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], check=False)
    # Started by hand, the server stays in the foreground: in the background
    # then, and stopped at the end with -k.
    subprocess.Popen(["wineserver", "-p"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     start_new_session=True)
    # The first program of a new server starts Wine's services, which keep
    # the standard output they were given: one whose output no one reads.
    subprocess.run(["wine", "cmd", "/c", "exit"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)
    work = os.path.abspath(a.work)
    home = os.path.join(work, "home")
    os.makedirs(home, exist_ok=True)
    linux_env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, LC_ALL="C")
    linux_env.pop("WINEPREFIX")
    linux_env.pop("SWEEPWAV_SCALAR_SINE", None)
    windows_paths = {}

    def windows_path(p):
        # Every run writes into the same folder: ask Wine for its name once.
        if p not in windows_paths:
            windows_paths[p] = subprocess.run(["winepath", "-w", p], capture_output=True, text=True,
                                              check=True).stdout.strip()
        return windows_paths[p]

    builds = [Build("linux", [os.path.abspath(a.linux_cli)], linux_env, lambda p: p),
              Build("linux baseline sine", [os.path.abspath(a.linux_cli)], dict(linux_env, SWEEPWAV_SCALAR_SINE="1"),
                    lambda p: p),
              Build("windows", ["wine", os.path.abspath(a.windows_exe)], dict(os.environ, WINEDEBUG="-all"),
                    windows_path)]
    settings = fixed_settings() + random_settings(a.settings, random.Random(20261208))
    try:
        differ = compare(builds, settings, work)
    finally:
        subprocess.run(["wineserver", "-k"], check=False)
    print("%d settings, %d builds each: %d differences" % (len(settings), len(builds), differ))
    return 1 if differ else 0


def compare(builds, settings, work):
    """Runs every build on every settings; returns how many differ."""
    differ = 0
    for i, s in enumerate(settings):
        # One folder for all, so that no path differs.
        results = [b.run(os.path.join(work, "run"), s) for b in builds]
        for n, b in enumerate(builds[1:], 1):
            # A run that failed where the first build's succeeded is tried
            # once more, and said: a hiccup of Wine is no difference of bytes,
            # but one that comes again is.
            failed = [k for k in ("write status", "info status") if results[n][k] != results[0][k]]
            if failed:
                print("RETRY (%s): %s" % (b.name, "; ".join(
                    "%s %s: %s" % (k, results[n][k], results[n].get(k.replace("status", "stderr"), "")) for k in failed)))
                results[n] = b.run(os.path.join(work, "run"), s)
        for b, r in zip(builds[1:], results[1:]):
            diffs = sorted(k for k in set(r) | set(results[0]) if r.get(k) != results[0].get(k))
            if diffs:
                differ += 1
                print("DIFFER (%s against linux) in %s: %s" % (b.name, ", ".join(diffs), " ".join(s)))
                for key in diffs:
                    if key.endswith("stderr"):
                        print("  %s, %s: %s" % (b.name, key, r.get(key, results[0].get(key))))
        r = results[0]
        print("%3d  wav %.12s  info %.12s  plans %.12s %.12s  %s" % (
            i, r.get("out.wav", "-"), r["info stdout"], r.get("p.csv", "-"), r.get("p.json", "-"), " ".join(s)))
    return differ


if __name__ == "__main__":
    sys.exit(main())
