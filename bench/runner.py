#!/usr/bin/env python3
"""Start-up, memory and second-start benchmark of Orvane against the floor program.

Run it through bench/run, which gives it a private X server. For each of N rounds it starts the
floor program (a bare Qt WebEngine window) three ways - as it comes (floor), composing in
software (floor-sw: QT_QUICK_BACKEND=software) and composing in software with Qt started
without OpenGL (floor-nogl: also QT_XCB_GL_INTEGRATION=none, so that no OpenGL library is
loaded) - and Orvane, each as a first start (fresh home folders; Orvane from a fresh copy of
its folder, the executable and its liborvane*.so, so that its Orvane.ini starts empty), and
measures:
  start   from spawn to the page's load event (the page asks the server for /loaded)
  PSS     of the whole process tree (the program and every descendant, QtWebEngineProcess
          included), from /proc/PID/smaps_rollup, about one second after the load event
  tree    the distinct resident memory of the same tree: every page of memory any of its
          processes maps, counted once (from /proc/PID/pagemap; needs root)
  second  Orvane only: with the first instance running, a second `orvane URL` from spawn to
          exit, and whether it started any process of its own (it must start no
          QtWebEngineProcess)
The targets are against floor-nogl, the floor that loads no OpenGL.
"""

import argparse
import array
import ctypes
import json
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from server import PageServer  # noqa: E402

TARGET_START_RATIO = 1.10
TARGET_TREE_RATIO = 1.05
TARGET_SECOND_MS = 30.0
PR_SET_CHILD_SUBREAPER = 36
PAGE = os.sysconf("SC_PAGE_SIZE")
PAGEMAP_PRESENT = 1 << 63
PAGEMAP_FRAME = (1 << 55) - 1
# The floors: the bare window as it comes, composing its pages in software as Orvane does on a
# display whose OpenGL is a software renderer (Xvfb's is), and that with Qt started without
# OpenGL, as Orvane starts on such a display. The targets are against the last.
FLOORS = {
    "floor": {},
    "floor-sw": {"QT_QUICK_BACKEND": "software"},
    "floor-nogl": {"QT_QUICK_BACKEND": "software", "QT_XCB_GL_INTEGRATION": "none"},
}
REFERENCE = "floor-nogl"
PROGRAMS = (*FLOORS, "orvane")


def parent_map():
    """pid -> parent pid of every process."""
    parents = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        # The command name is in parentheses and may hold blanks: parse after the last ")".
        fields = stat[stat.rfind(")") + 2:].split()
        parents[int(entry)] = int(fields[1])
    return parents


def tree(root):
    """The process and all its descendants."""
    parents = parent_map()
    children = {}
    for pid, ppid in parents.items():
        children.setdefault(ppid, []).append(pid)
    found, todo = [], [root]
    while todo:
        pid = todo.pop()
        found.append(pid)
        todo.extend(children.get(pid, []))
    return found


def children_of(pid):
    """The descendants of one process, read from its threads' children lists: far cheaper than
    a scan of /proc while a short-lived process is being timed."""
    found, todo = [], [pid]
    while todo:
        parent = todo.pop()
        try:
            threads = os.listdir(f"/proc/{parent}/task")
        except OSError:
            continue
        for tid in threads:
            try:
                with open(f"/proc/{parent}/task/{tid}/children") as f:
                    kids = [int(k) for k in f.read().split()]
            except OSError:
                continue
            found.extend(kids)
            todo.extend(kids)
    return found


def command_name(pid):
    try:
        with open(f"/proc/{pid}/comm") as f:
            return f.read().strip()
    except OSError:
        return ""


def pss_kib(pids):
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
                        break
        except OSError:
            pass
    return total


def resident_ranges(pid):
    """The address ranges of the process that have resident pages, from its smaps."""
    ranges, current = [], None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            head = line.split(None, 1)[0]
            if "-" in head and not head.endswith(":"):
                start, end = head.split("-")
                current = (int(start, 16), int(end, 16))
            elif head == "Rss:" and current is not None and int(line.split()[1]) > 0:
                ranges.append(current)
    return ranges


def tree_kib(pids):
    """Distinct resident memory of the processes: every physical page that any of them maps,
    counted once, however many processes share it. Unlike PSS it does not shrink when other
    programs on the machine map the same libraries. None without the page frame numbers,
    which the kernel shows to root only."""
    frames = set()
    for pid in pids:
        try:
            ranges = resident_ranges(pid)
            with open(f"/proc/{pid}/pagemap", "rb") as pagemap:
                for start, end in ranges:
                    pagemap.seek(start // PAGE * 8)
                    entries = array.array("Q", pagemap.read((end - start) // PAGE * 8))
                    frames.update(e & PAGEMAP_FRAME for e in entries if e & PAGEMAP_PRESENT)
        except (OSError, ValueError):
            pass
    frames.discard(0)
    return len(frames) * PAGE // 1024 if frames else None


def measure_tree(proc, result):
    """Memory of the process tree, one second after its page loaded."""
    time.sleep(1.0)
    pids = tree(proc.pid)
    result["pss"], result["procs"] = pss_kib(pids), len(pids)
    result["tree"] = tree_kib(pids)


def kill_pids(pids):
    """SIGTERM, then SIGKILL to whatever is left after a grace period."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        for pid in pids:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + 5.0
        while time.monotonic() < deadline and any(os.path.exists(f"/proc/{p}") for p in pids):
            reap_orphans()
            time.sleep(0.05)
        if not any(os.path.exists(f"/proc/{p}") for p in pids):
            return


def kill_tree(proc):
    kill_pids(tree(proc.pid))
    proc.wait()
    reap_orphans()


def reap_orphans():
    """Descendants orphaned by their parents come to this process (child subreaper)."""
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


class Sandbox:
    """Fresh home, configuration, cache, data and runtime folders for one start."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="orvane-bench-")
        self.env = dict(os.environ)
        for name, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "home/.config"),
                          ("XDG_CACHE_HOME", "home/.cache"), ("XDG_DATA_HOME", "home/.local/share"),
                          ("XDG_RUNTIME_DIR", "run")):
            path = os.path.join(self.root, sub)
            os.makedirs(path, mode=0o700, exist_ok=True)
            self.env[name] = path
        if os.geteuid() == 0:
            self.env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


def spawn(argv, env):
    return subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)


def first_start(argv, env, server, timeout):
    """Starts the program; returns (process, seconds to the load event or None)."""
    mark = server.mark()
    t0 = time.monotonic()
    proc = spawn(argv, env)
    loaded = None
    while loaded is None and time.monotonic() - t0 < timeout:
        loaded = server.wait_loaded(mark, 0.1)
        if loaded is None and proc.poll() is not None:
            print(f"bench: {argv[0]} ended with status {proc.returncode} before the page loaded",
                  file=sys.stderr)
            break
    return proc, (loaded - t0 if loaded is not None else None)


def second_start(argv, env, first, timeout):
    """Starts argv while `first` runs. Returns (seconds to exit or None, names of the processes
    it started). Spawns with posix_spawn and waits on a pidfd in this one thread, so that the
    timing carries as little of this script's own overhead as possible."""
    before = set(tree(os.getpid()))
    quiet = [(os.POSIX_SPAWN_OPEN, fd, os.devnull, os.O_RDWR, 0) for fd in (0, 1, 2)]
    started = {}
    t0 = time.monotonic()
    pid = os.posix_spawn(argv[0], argv, env, file_actions=quiet, setsid=True)
    pidfd = os.pidfd_open(pid)
    poller = select.poll()
    poller.register(pidfd, select.POLLIN)
    ended = None
    while time.monotonic() - t0 < timeout:
        if poller.poll(2):
            ended = time.monotonic()
            break
        for child in children_of(pid):
            started.setdefault(child, command_name(child))
    os.close(pidfd)
    if ended is None:
        kill_pids(tree(pid))
    try:
        os.waitpid(pid, 0)
    except ChildProcessError:  # already reaped while its tree was being killed
        pass
    if ended is None:
        return None, sorted(set(started.values()))
    # Anything it left behind was handed to this process.
    first_tree = set(tree(first.pid))
    for leftover in set(tree(os.getpid())) - before - first_tree - {os.getpid()}:
        started.setdefault(leftover, command_name(leftover))
    reap_orphans()
    return ended - t0, sorted(set(started.values()))


def run_floor(floor, url, server, timeout, extra_env=None):
    box = Sandbox()
    box.env.update(extra_env or {})
    try:
        proc, start = first_start([floor, url], box.env, server, timeout)
        result = {"start": start, "pss": None, "tree": None, "procs": None}
        if start is not None:
            measure_tree(proc, result)
        kill_tree(proc)
        return result
    finally:
        box.close()


def run_orvane(orvane, arg, server, timeout):
    box = Sandbox()
    try:
        folder = os.path.join(box.root, "orvane")
        os.makedirs(folder)
        exe = os.path.join(folder, "orvane")
        shutil.copy2(orvane, exe)
        # The libraries the program loads from its own folder (its window program).
        build = os.path.dirname(orvane)
        for name in os.listdir(build):
            if name.startswith("liborvane") and ".so" in name:
                shutil.copy2(os.path.join(build, name), folder, follow_symlinks=False)
        proc, start = first_start([exe, arg], box.env, server, timeout)
        result = {"start": start, "pss": None, "tree": None, "procs": None, "second": None,
                  "second_started": None}
        if start is not None:
            measure_tree(proc, result)
            second, started = second_start([exe, arg], box.env, proc, 10.0)
            result["second"] = second
            result["second_started"] = started
        kill_tree(proc)
        return result
    finally:
        box.close()


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def fmt(value, scale, unit):
    return f"{value * scale:9.1f} {unit:3}" if value is not None else f"{'n/a':>13}"


def ratio(a, b):
    return a / b if a and b else None


def fmt_ratio(value):
    return f"{value:12.3f}" if value else f"{'n/a':>12}"


def report(results, runs):
    names = [n for n in PROGRAMS if results[n]]
    floors = [n for n in names if n in FLOORS]

    def med(name, key):
        return median(r.get(key) for r in results[name])

    def count(name, key):
        return sum(1 for r in results[name] if r.get(key) is not None)

    print()
    print(f"Medians over {runs} runs (successful runs in brackets)")
    print(f"{'':22}" + "".join(f"{n:>18}" for n in names)
          + ("".join(f"{'/' + n:>12}" for n in floors) if "orvane" in names else ""))
    for label, key, scale, unit in (("start to load event", "start", 1000, "ms"),
                                    ("PSS of process tree", "pss", 1 / 1024, "MiB"),
                                    ("tree, distinct RSS", "tree", 1 / 1024, "MiB")):
        line = f"{label:22}" + "".join(
            f"{fmt(med(n, key), scale, unit)} [{count(n, key):2}]" for n in names)
        if "orvane" in names:
            line += "".join(fmt_ratio(ratio(med("orvane", key), med(n, key))) for n in floors)
        print(line)
    if "orvane" not in names:
        return
    sec = med("orvane", "second")
    print(f"{'second start to exit':22}{'':>{18 * (len(names) - 1)}}"
          f"{fmt(sec, 1000, 'ms')} [{count('orvane', 'second'):2}]")
    spawned = sorted({n for r in results["orvane"] for n in (r.get("second_started") or [])})
    engine = [n for n in spawned if n.startswith("QtWebEngine")]
    print(f"{'second start spawned':22}{'':>{18 * (len(names) - 1)}}"
          f"  {', '.join(spawned) if spawned else 'nothing'}")
    print()

    def verdict(ok):
        return "n/a" if ok is None else ("ok" if ok else "MISSED")

    def within(key, target):
        value = ratio(med("orvane", key), med(REFERENCE, key)) if REFERENCE in names else None
        return verdict(None if value is None else value <= target)

    print(f"Targets (against {REFERENCE}, the floor that loads no OpenGL)")
    print(f"  start ratio  <= {TARGET_START_RATIO:.2f}: {within('start', TARGET_START_RATIO)}")
    print(f"  tree ratio   <= {TARGET_TREE_RATIO:.2f}: {within('tree', TARGET_TREE_RATIO)}")
    print(f"  second start <= {TARGET_SECOND_MS:.0f} ms median, no QtWebEngineProcess: "
          f"{verdict(None if sec is None else sec * 1000 <= TARGET_SECOND_MS and not engine)}")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--warmup", type=int, default=1, help="uncounted rounds first")
    parser.add_argument("--build", default=os.path.join(os.path.dirname(here), "build"))
    parser.add_argument("--only", help="comma-separated programs to run, of " + ", ".join(PROGRAMS))
    parser.add_argument("--timeout", type=float, default=60.0, help="seconds to wait for a load")
    parser.add_argument("--json", help="also write every measurement to this file")
    args = parser.parse_args()

    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)

    floor = os.path.join(args.build, "bench", "bench_floor")
    orvane = os.path.join(args.build, "orvane")
    only = args.only.split(",") if args.only else PROGRAMS
    unknown = [n for n in only if n not in PROGRAMS]
    if unknown:
        parser.error(f"--only: unknown {', '.join(unknown)}")
    programs = [p for p in PROGRAMS if p in only]
    for name in list(programs):
        path = orvane if name == "orvane" else floor
        if not os.access(path, os.X_OK):
            print(f"bench: {path} is missing; build it first", file=sys.stderr)
            programs.remove(name)

    server = PageServer()
    page, mail = server.url("/page"), server.url("/mail")
    results = {name: [] for name in PROGRAMS}
    try:
        for round_ in range(-args.warmup, args.runs):
            for name in programs:
                if name in FLOORS:
                    r = run_floor(floor, page, server, args.timeout, FLOORS[name])
                else:
                    r = run_orvane(orvane, f"{page},{mail}", server, args.timeout)
                label = "warm-up" if round_ < 0 else f"run {round_ + 1}"
                print(f"{label:8} {name:10} " + "  ".join(
                    f"{k}={v:.4f}" if isinstance(v, float) else f"{k}={v}" for k, v in r.items()),
                    flush=True)
                if round_ >= 0:
                    results[name].append(r)
    finally:
        server.close()
    report(results, args.runs)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(results, f, indent=1)


if __name__ == "__main__":
    sys.exit(main())
