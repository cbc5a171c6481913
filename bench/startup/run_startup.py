#!/usr/bin/python3
"""Start-up benchmark: the main window against a minimal Qt 6 window, side by side.

Starts a private X server with a window manager and a session bus (tests/e2e/xsession.sh under
dbus-run-session), then runs each of these in turn, rotating the order every round:

  minimal       bench/startup/pedalwise_startup_minimal, one empty titled QWidget
  minimal+text  the same with one line of text, so with the font system started
  fair          the same program with a plain QMainWindow holding the controls the main window
                shows at start: its menus, five line edits, nine labels, two buttons
  main          bench/startup/pedalwise_startup_main, the main window through RunProgram
  program       the pedalwise program itself, timed from the outside only

For each it takes the time from just before the process is spawned to the window being viewable
on the X server (an X client watching the window manager's client list). The probed programs
report too when main() began, the application and the window were made, the native window was
first exposed and the whole window was painted, their peak resident memory (ru_maxrss) and the
processor time and context switches while idle, from half a second after the paint on. The
program's peak memory is VmHWM and its idle time the scheduler's run time, both from /proc.
Accessibility stays off, as on a desktop with no screen reader, unless --accessible is given;
XDG_DATA_HOME is an empty folder, so no defaults file is read.

Usage: run_startup.py [--build-dir build/default] [--runs 20] [--idle-ms 2000] [--accessible]
"""

import argparse
import json
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SETTLE_S = 0.5  # after the paint or map, before idle time is counted; the probes do the same
MINIMAL_TITLE = "Minimal Qt window"
MAIN_TITLE = "Pedalwise Calculator"
# The probed programs: file in bench/startup, arguments, window title.
PROBED = {
    "minimal": ("pedalwise_startup_minimal", [], MINIMAL_TITLE),
    "minimal+text": ("pedalwise_startup_minimal", ["--with-text"], MINIMAL_TITLE),
    "fair": ("pedalwise_startup_minimal", ["--controls"], MINIMAL_TITLE),
    "main": ("pedalwise_startup_main", [], MAIN_TITLE),
}


def now_ns():
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC)


class MapWatch:
    """The X client that reports when a window with the title becomes viewable."""

    def __init__(self, build, title):
        self.process = subprocess.Popen(
            [os.path.join(build, "bench/startup/pedalwise_startup_mapwatch"), title, "30000"],
            stdout=subprocess.PIPE, text=True)
        if self.process.stdout.readline().strip() != "ready":
            raise RuntimeError("the map watcher did not start")

    def mapped(self):
        out, _ = self.process.communicate(timeout=60)
        if self.process.returncode != 0:
            raise RuntimeError("the window never became viewable")
        return int(out.strip().split("=", 1)[1])


def run_probed(build, name, env, idle_ms):
    program, arguments, title = PROBED[name]
    watch = MapWatch(build, title)
    spawned = now_ns()
    process = subprocess.Popen([os.path.join(build, "bench/startup", program),
                                f"--idle-ms={idle_ms}"] + arguments, env=env,
                               stdout=subprocess.PIPE, text=True)
    out, _ = process.communicate(timeout=60 + idle_ms / 1000)
    mapped = watch.mapped()
    if process.returncode != 0:
        raise RuntimeError(f"{name} ended with {process.returncode}")
    line = next(l for l in out.splitlines() if l.startswith("startup "))
    fields = dict(item.split("=") for item in line.split()[1:])
    ms = lambda key: (int(fields[key]) - spawned) / 1e6
    return {
        "main_ms": ms("main"), "app_ms": ms("app"), "window_ms": ms("window"),
        "exposed_ms": ms("exposed"), "painted_ms": ms("painted"),
        "mapped_ms": (mapped - spawned) / 1e6,
        "rss_mb": int(fields["maxrss_kb"]) / 1024,
        "idle_cpu_ms": int(fields["idle_cpu_us"]) / 1000,
        "idle_wakeups": int(fields["idle_switches"]),
    }


def task_runtime_ns(pid):
    """Processor time of all the process's threads so far, from the scheduler."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/schedstat") as f:
            total += int(f.read().split()[0])
    return total


def context_switches(pid):
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/status") as f:
            for line in f:
                if line.startswith(("voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:")):
                    total += int(line.split()[-1])
    return total


def peak_rss_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise RuntimeError("no VmHWM")


def run_program(build, binary, env, idle_ms):
    watch = MapWatch(build, MAIN_TITLE)
    spawned = now_ns()
    process = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL)
    try:
        mapped = watch.mapped()
        time.sleep(SETTLE_S)
        cpu, switches = task_runtime_ns(process.pid), context_switches(process.pid)
        time.sleep(idle_ms / 1000)
        cpu = task_runtime_ns(process.pid) - cpu
        switches = context_switches(process.pid) - switches
        rss = peak_rss_kb(process.pid)
    finally:
        process.send_signal(signal.SIGTERM)
        process.wait(timeout=10)
    return {"mapped_ms": (mapped - spawned) / 1e6, "rss_mb": rss / 1024,
            "idle_cpu_ms": cpu / 1e6, "idle_wakeups": switches}


def summary(samples, key):
    values = [s[key] for s in samples]
    return statistics.median(values), min(values), max(values)


def report(results, args):
    rows = [("spawn to main()", "main_ms"), ("spawn to QApplication made", "app_ms"),
            ("spawn to window built", "window_ms"), ("spawn to window exposed", "exposed_ms"),
            ("spawn to window painted", "painted_ms"),
            ("spawn to window viewable (X)", "mapped_ms"),
            ("peak RSS (MiB)", "rss_mb"),
            (f"idle CPU in {args.idle_ms} ms (ms)", "idle_cpu_ms"),
            (f"idle wake-ups in {args.idle_ms} ms", "idle_wakeups")]
    names = list(results)
    width = 22
    print(f"\n{args.runs} runs each, order rotating; median (min-max); times in ms from spawn")
    print(f"{'':30}" + "".join(f"{n:>{width}}" for n in names))
    for label, key in rows:
        cells = []
        for n in names:
            if key in results[n][0]:
                med, lo, hi = summary(results[n], key)
                cells.append(f"{med:.1f} ({lo:.1f}-{hi:.1f})")
            else:
                cells.append("-")
        print(f"{label:30}" + "".join(f"{c:>{width}}" for c in cells))

    median = lambda name, key: summary(results[name], key)[0]
    ratio = median("main", "painted_ms") / median("minimal", "painted_ms")
    print(f"\nmain window painted / minimal window painted: {ratio:.2f}"
          f"   goal <= 1.25: {'met' if ratio <= 1.25 else 'NOT met'}")
    print(f"main window painted / minimal window with text painted: "
          f"{median('main', 'painted_ms') / median('minimal+text', 'painted_ms'):.2f}")
    # Against the fair baseline, a plain window with the same controls, in this same run.
    ratio = median("main", "painted_ms") / median("fair", "painted_ms")
    print(f"main window painted / fair window painted: {ratio:.3f}"
          f"   goal <= 1.05: {'met' if ratio <= 1.05 else 'NOT met'}")
    for n in ("main", "program"):
        if n in results:
            above = median(n, "rss_mb") - median("fair", "rss_mb")
            print(f"{n} peak RSS above the fair window's: {above:+.2f} MiB"
                  f"   goal <= 0.5 MiB: {'met' if above <= 0.5 else 'NOT met'}")
    for n in names:
        if n != "minimal":
            print(f"{n} viewable / minimal viewable: "
                  f"{median(n, 'mapped_ms') / median('minimal', 'mapped_ms'):.2f}")
    for n in ("main", "program"):
        if n in results:
            rss = max(s["rss_mb"] for s in results[n])
            print(f"{n} peak RSS, largest of the runs: {rss:.1f} MiB ({rss * 1.048576:.1f} MB)"
                  f"   goal <= 32 MB: {'met' if rss * 1.048576 <= 32 else 'NOT met'}")


def inner(args):
    build = os.path.abspath(args.build_dir)
    binary = args.binary or os.path.join(build, "src/pedalwise")
    env = dict(os.environ)
    if not args.accessible:
        # As on a desktop with no screen reader running: Qt then leaves its AT-SPI bridge off.
        env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
    data = tempfile.TemporaryDirectory(prefix="pedalwise-bench-")
    env["XDG_DATA_HOME"] = data.name  # no defaults file to load
    env["XDG_CONFIG_HOME"] = data.name

    def one(name):
        if name == "program":
            return run_program(build, binary, env, args.idle_ms)
        return run_probed(build, name, env, args.idle_ms)

    names = list(PROBED) + (["program"] if os.path.exists(binary) else [])
    print(f"load average before: {os.getloadavg()[0]:.2f}", flush=True)
    for name in names:  # warm-up, not counted: page cache, font cache
        one(name)
    results = {n: [] for n in names}
    for i in range(args.runs):
        for name in names[i % len(names):] + names[:i % len(names)]:
            results[name].append(one(name))
        print(f"run {i + 1}/{args.runs}", file=sys.stderr, flush=True)
    print(f"load average after: {os.getloadavg()[0]:.2f}")
    report(results, args)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(results, f, indent=1)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build/default"))
    parser.add_argument("--binary", help="the program to time from the outside "
                        "(default: the build's src/pedalwise)")
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--idle-ms", type=int, default=2000)
    parser.add_argument("--accessible", action="store_true",
                        help="keep Qt's accessibility bridge on, as with a screen reader")
    parser.add_argument("--json", help="also write every sample to this file")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.inner:
        inner(args)
        return
    command = ["dbus-run-session", "--", os.path.join(ROOT, "tests/e2e/xsession.sh"),
               sys.executable, os.path.abspath(__file__), "--inner"] + sys.argv[1:]
    sys.exit(subprocess.call(command, stderr=sys.stderr))


if __name__ == "__main__":
    main()
