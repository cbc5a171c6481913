#!/usr/bin/python3
"""Start-up benchmark: the main window against a minimal Qt 6 window, side by side.

Starts a private X server with a window manager and a session bus (tests/e2e/xsession.sh), then
runs each of these in turn, rotating the order every round:

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

With --wine it times the Windows build instead (build/windows by default), from the outside
only: pedalwise.exe against the Windows builds of the fair and the minimal window, and Wine's
own Notepad as the floor of any window program under Wine. Each is started with `wine` in a
Wine prefix of the benchmark's own (made on first use in the build folder) whose session is
kept running, so that every start finds Wine's server and services up, as a second program on
a desktop does; the first start of each is not counted, and no defaults file exists in the
prefix. It also prints the sizes of the setup program, the archive and the unpacked program
folder. The map watcher is the host's (--build-dir).

Usage: run_startup.py [--build-dir build/default] [--runs 20] [--idle-ms 2000] [--accessible]
       run_startup.py --wine [build/windows] [--build-dir build/default] [--runs 10]
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
    print(f"\nmain window painted / minimal window painted: {ratio:.2f}")
    print(f"main window painted / minimal window with text painted: "
          f"{median('main', 'painted_ms') / median('minimal+text', 'painted_ms'):.2f}")
    # The goals are against the fair baseline, a plain window with the same controls, in this
    # same run; the empty windows only show what Qt itself costs.
    ratio = median("main", "painted_ms") / median("fair", "painted_ms")
    print(f"main window painted / fair window painted: {ratio:.3f}"
          f"   goal <= 1.05: {'met' if ratio <= 1.05 else 'NOT met'}")
    for n in ("main", "program"):
        if n in results:
            above = median(n, "rss_mb") - median("fair", "rss_mb")
            print(f"{n} peak RSS above the fair window's: {above:+.2f} MiB"
                  f"   goal <= 1.5 MiB: {'met' if above <= 1.5 else 'NOT met'}")
    for n in names:
        if n != "minimal":
            print(f"{n} viewable / minimal viewable: "
                  f"{median(n, 'mapped_ms') / median('minimal', 'mapped_ms'):.2f}")
    for n in ("main", "program"):
        if n in results:
            rss = max(s["rss_mb"] for s in results[n])
            print(f"{n} peak RSS, largest of the runs: {rss:.1f} MiB ({rss * 1.048576:.1f} MB)")


# Under Wine: what is started ({bin} is the Windows build's folder of programs), the title.
WINE_PROGRAMS = {
    "pedalwise.exe": (["{bin}/pedalwise.exe"], MAIN_TITLE),
    "fair": (["{bin}/pedalwise_startup_minimal.exe", "--controls"], MINIMAL_TITLE),
    "minimal": (["{bin}/pedalwise_startup_minimal.exe"], MINIMAL_TITLE),
    "notepad": (["C:\\windows\\notepad.exe"], "Untitled - Notepad"),
}


def wine_env(prefix):
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")  # no offer to install Mono or Gecko
    env.pop("WAYLAND_DISPLAY", None)
    return env


def start_wine_session(env):
    """Makes the prefix if needed and starts its server and services on this display, kept
    running until wineserver -k."""
    quiet = {"env": env, "stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL,
             "stderr": subprocess.DEVNULL}
    subprocess.call(["wineserver", "-k"], **quiet)  # one left from a run on another display
    if not os.path.exists(os.path.join(env["WINEPREFIX"], "system.reg")):
        subprocess.call(["wineboot", "-i"], **quiet)
        subprocess.call(["wineserver", "-w"], **quiet)
    subprocess.check_call(["wineserver", "-p"], **quiet)
    subprocess.check_call(["wine", "cmd", "/c", "exit"], **quiet)


def remove_defaults_files(prefix):
    """The defaults file in the roaming application data and the old one on drive C."""
    drive = os.path.join(prefix, "drive_c")
    users = os.path.join(drive, "users")
    paths = [os.path.join(drive, "pedalwise.dat")] + [
        os.path.join(users, u, "AppData/Roaming/Pedalwise/pedalwise.dat")
        for u in (os.listdir(users) if os.path.isdir(users) else [])]
    for path in paths:
        if os.path.exists(path):
            os.remove(path)


def window_gone(title, timeout_s=10):
    """Waits until no window with the title is left, so the next watch cannot see this one."""
    deadline = time.monotonic() + timeout_s
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--name", f"^{title}$"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        if not found.stdout.strip():
            return
        time.sleep(0.05)
    raise RuntimeError(f"the window \"{title}\" did not close")


def run_wine(build, bin_dir, env, name):
    command, title = WINE_PROGRAMS[name]
    command = [part.replace("{bin}", bin_dir) for part in command]
    watch = MapWatch(build, title)
    spawned = now_ns()
    # `wine` becomes the Windows process itself, so ending it ends the program.
    process = subprocess.Popen(["wine"] + command, env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        mapped = watch.mapped()
    finally:
        process.terminate()
        process.wait(timeout=30)
    window_gone(title)
    time.sleep(SETTLE_S)  # Wine's server tidies up after the process
    return {"mapped_ms": (mapped - spawned) / 1e6}


def megabytes(path):
    if os.path.isdir(path):
        return sum(os.path.getsize(os.path.join(folder, f))
                   for folder, _, files in os.walk(path) for f in files) / 1e6
    return os.path.getsize(path) / 1e6


def report_sizes(windows_build):
    print("\nsizes (MB = 1,000,000 bytes)")
    packages = os.path.join(windows_build, "packages")
    found = sorted(os.listdir(packages)) if os.path.isdir(packages) else []
    stage = os.path.join(windows_build, "packaging/windows/stage/Pedalwise")
    for path in [os.path.join(packages, f) for f in found] + [stage]:
        if os.path.exists(path):
            print(f"  {os.path.relpath(path, windows_build):55} {megabytes(path):6.1f} MB")
        else:
            print(f"  {os.path.relpath(path, windows_build):55} missing (make windows)")


def inner_wine(args):
    build = os.path.abspath(args.build_dir)
    windows_build = os.path.abspath(args.wine)
    bin_dir = os.path.join(windows_build, "bin")
    prefix = os.path.join(windows_build, "bench-wineprefix")
    env = wine_env(prefix)
    names = list(WINE_PROGRAMS)
    print(f"load average before: {os.getloadavg()[0]:.2f}", flush=True)
    start_wine_session(env)
    try:
        remove_defaults_files(prefix)
        first = {n: run_wine(build, bin_dir, env, n) for n in names}  # not counted
        results = {n: [] for n in names}
        for i in range(args.runs):
            for name in names[i % len(names):] + names[:i % len(names)]:
                remove_defaults_files(prefix)
                results[name].append(run_wine(build, bin_dir, env, name))
            print(f"run {i + 1}/{args.runs}", file=sys.stderr, flush=True)
    finally:
        subprocess.call(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
    print(f"load average after: {os.getloadavg()[0]:.2f}")

    print(f"\nUnder Wine, {args.runs} runs each, order rotating, Wine's session already "
          f"running;\nspawn of `wine` to window viewable (X), ms: median (min-max)")
    for n in names:
        med, lo, hi = summary(results[n], "mapped_ms")
        print(f"  {n:16} {med:8.1f} ({lo:.1f}-{hi:.1f})   first start, not counted: "
              f"{first[n]['mapped_ms']:.1f}")
    median = lambda name: summary(results[name], "mapped_ms")[0]
    print(f"pedalwise.exe / fair window: {median('pedalwise.exe') / median('fair'):.3f} "
          f"({median('pedalwise.exe') - median('fair'):+.1f} ms)")
    for n in ("fair", "minimal"):
        print(f"{n} window above Notepad: {median(n) - median('notepad'):+.1f} ms")
    report_sizes(windows_build)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(results, f, indent=1)


def inner(args):
    if args.wine:
        inner_wine(args)
        return
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
    parser.add_argument("--wine", nargs="?", const=os.path.join(ROOT, "build/windows"),
                        metavar="WINDOWS_BUILD",
                        help="time the Windows build's programs under Wine instead")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.inner:
        inner(args)
        return
    command = [os.path.join(ROOT, "tests/e2e/xsession.sh"),
               sys.executable, os.path.abspath(__file__), "--inner"] + sys.argv[1:]
    sys.exit(subprocess.call(command, stderr=sys.stderr))


if __name__ == "__main__":
    main()
