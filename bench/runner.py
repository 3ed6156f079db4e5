#!/usr/bin/env python3
"""Start-up, memory, second-start and soak benchmark of Orvane against a bare browser window.

Run it through bench/run, which gives it a private X server. For each of N rounds it starts
every chosen program of bench/programs.py in turn - the GTK 3 WebKitGTK floor with Orvane's
software settings (floor-gtk), Orvane (orvane-gtk), the GTK floor under each of WebKitGTK's
software settings (gtk-*), and other small browsers on the same engine when installed - each as
a first start (fresh home folders; Orvane from a fresh copy of its folder, the executable and
its liborvane*.so, so that its Orvane.ini starts empty), and measures:
  loaded  from spawn to the page's load event (the page asks the server for /loaded)
  painted from spawn to the first frame drawn after the load event (the page asks for /painted)
  PSS     of the whole process tree (the program and every descendant, the engine's processes
          included), from /proc/PID/smaps_rollup, about one second after the load event
  tree    the distinct resident memory of the same tree: every page of memory any of its
          processes maps, counted once (from /proc/PID/pagemap; needs root)
  second  Orvane only: with the first instance running, a second `orvane URL` from spawn to
          exit, whether it started any process of its own (it must start no engine process),
          and how many windows of Orvane's class the display has afterwards (must be one)
Then the soak: one window of each soak program goes through a chain of loopback pages, each
going on to the next by script once loaded and painted, while the tree's memory is sampled; the
report gives the least-squares slope over each half and says whether it keeps growing.
Orvane is held to floor-gtk.
"""

import argparse
import array
import ctypes
import json
import os
import select
import signal
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import programs  # noqa: E402
from server import PageServer  # noqa: E402

TARGET_START_RATIO = 1.10
TARGET_TREE_RATIO = 1.05
TARGET_SECOND_MS = 5.0
# The soak counts as growing when the fit over its last half rises by more than this share of
# the tree's memory at the half-way mark.
SOAK_GROWTH_SHARE = 0.02
PR_SET_CHILD_SUBREAPER = 36
PAGE = os.sysconf("SC_PAGE_SIZE")
PAGEMAP_PRESENT = 1 << 63
PAGEMAP_FRAME = (1 << 55) - 1
# The processes of the engines, which a second start must not start.
ENGINE_PROCESSES = ("WebKit",)
WINDOW_CLASS = "ThunderRT6FormDC"


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


def spawn(argv, env):
    return subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)


def first_start(argv, env, server, timeout):
    """Starts the program; returns (process, seconds to the load event or None, seconds to the
    first frame after it or None)."""
    mark, painted_mark = server.mark(), server.mark("painted")
    t0 = time.monotonic()
    proc = spawn(argv, env)
    loaded = painted = None
    while painted is None and time.monotonic() - t0 < timeout:
        if loaded is None:
            loaded = server.wait_loaded(mark, 0.05)
        painted = server.wait_loaded(painted_mark, 0.05, "painted")
        if painted is None and proc.poll() is not None:
            print(f"bench: {argv[0]} ended with status {proc.returncode} before the page "
                  f"{'painted' if loaded else 'loaded'}", file=sys.stderr)
            break
    if loaded is None and painted is not None:
        # The page sends its two requests on two connections: the second may be served first.
        loaded = server.wait_loaded(mark, 5.0)
    return (proc, loaded - t0 if loaded is not None else None,
            painted - t0 if painted is not None else None)


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


def windows_of_class(name):
    """The number of the window manager's client windows whose WM_CLASS class is `name`, from
    the root's _NET_CLIENT_LIST and xprop; None when that cannot be read."""
    try:
        listing = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST"], capture_output=True,
                                 text=True, timeout=5).stdout
    except (OSError, subprocess.TimeoutExpired):
        return None
    if "window id" not in listing:
        return 0 if "_NET_CLIENT_LIST" in listing else None
    count = 0
    for window in listing.split("#", 1)[1].replace(",", " ").split():
        try:
            text = subprocess.run(["xprop", "-id", window, "WM_CLASS"], capture_output=True,
                                  text=True, timeout=5).stdout
        except (OSError, subprocess.TimeoutExpired):
            return None
        # WM_CLASS(STRING) = "instance", "Class"
        parts = [part.strip().strip('"') for part in text.split("=", 1)[-1].split(",")]
        count += len(parts) == 2 and parts[1] == name
    return count


def run_program(program, build, page, mail, server, timeout):
    """One first start of the program (and, for Orvane, a second start beside it). Raises
    programs.Skip when the program cannot run here."""
    box = programs.Sandbox(program.env)
    try:
        command = program.prepare(build, box)
        argv = [*command, program.address(page, mail)]
        proc, start, painted = first_start(argv, box.env, server, timeout)
        result = {"start": start, "painted": painted, "pss": None, "tree": None, "procs": None}
        if program.kind == programs.ORVANE:
            result.update(second=None, second_started=None, windows=None)
        if start is not None:
            measure_tree(proc, result)
            if program.kind == programs.ORVANE:
                second, started = second_start(argv, box.env, proc, 10.0)
                result["second"], result["second_started"] = second, started
                time.sleep(0.3)  # a window the second start asked for has been mapped by now
                result["windows"] = windows_of_class(WINDOW_CLASS)
        kill_tree(proc)
        return result
    finally:
        box.close()


def soak(program, build, server, count, every, stall):
    """One window of the program through `count` soak pages; returns the samples, each
    (navigations so far, seconds since the spawn, PSS KiB, tree KiB or None, processes), and the
    number of pages reached. Raises programs.Skip when the program cannot run here."""
    box = programs.Sandbox(program.env)
    try:
        command = program.prepare(build, box)
        first = server.url(f"/soak/1?last={count}")
        argv = [*command, program.address(first, server.url("/mail"))]
        server.reset_soak()
        t0 = time.monotonic()
        proc = spawn(argv, box.env)
        samples, target = [], every
        while target <= count:
            reached = server.wait_soak(target, stall)
            if reached < target:
                print(f"bench: soak of {program.name} stopped at page {reached}"
                      f"{' (the program ended)' if proc.poll() is not None else ''}",
                      file=sys.stderr)
                break
            if target == count:
                time.sleep(1.0)  # the last page loads and paints; nothing follows it
            pids = tree(proc.pid)
            samples.append((server.soak_reached(), time.monotonic() - t0, pss_kib(pids),
                            tree_kib(pids), len(pids)))
            print(f"soak     {program.name:24} page={samples[-1][0]} t={samples[-1][1]:.1f}s "
                  f"pss={samples[-1][2]} tree={samples[-1][3]} procs={samples[-1][4]}",
                  flush=True)
            target = min(count, target + every) if target < count else count + 1
        reached = server.soak_reached()
        kill_tree(proc)
        return samples, reached
    finally:
        box.close()


def slope(points):
    """Least-squares slope of (x, y) points; None for fewer than two."""
    if len(points) < 2:
        return None
    mx = statistics.fmean(x for x, _ in points)
    my = statistics.fmean(y for _, y in points)
    sxx = sum((x - mx) ** 2 for x, _ in points)
    return sum((x - mx) * (y - my) for x, y in points) / sxx if sxx else None


def mib(kib, sign=""):
    return "n/a" if kib is None else f"{kib / 1024:{sign}.1f} MiB"


def soak_summary(samples, count):
    """Per memory figure: first and last sample and the fitted rise over each half."""
    summary = {}
    for key, index in (("pss", 2), ("tree", 3)):
        points = [(s[0], s[index]) for s in samples if s[index] is not None]
        if len(points) < 4:
            continue
        halves = ([p for p in points if p[0] <= count / 2], [p for p in points if p[0] > count / 2])
        rises = []
        for half in halves:
            k = slope(half)
            rises.append(None if k is None else k * (half[-1][0] - half[0][0]))
        middle = min(points, key=lambda p: abs(p[0] - count / 2))[1]
        summary[key] = {"first": points[0], "last": points[-1], "first_half_rise": rises[0],
                        "last_half_rise": rises[1],
                        "slope_last_half": slope(halves[1]),
                        "growing": None if rises[1] is None
                        else rises[1] > SOAK_GROWTH_SHARE * middle}
    return summary


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def fmt(value, scale, unit):
    return f"{value * scale:9.1f} {unit:3}" if value is not None else f"{'n/a':>13}"


def ratio(a, b):
    return a / b if a and b else None


FIGURES = (("painted", 1000, "ms", "start to first paint"),
           ("start", 1000, "ms", "start to load event"),
           ("pss", 1 / 1024, "MiB", "PSS of process tree"),
           ("tree", 1 / 1024, "MiB", "tree, distinct resident"))
# Ratio to the floor, target, and what is held to it.
TARGETS = (("painted", TARGET_START_RATIO, "start (first paint)"),
           ("start", TARGET_START_RATIO, "start (load event)"),
           ("pss", TARGET_TREE_RATIO, "memory (PSS of tree)"),
           ("tree", TARGET_TREE_RATIO, "memory (tree, distinct)"))


def report(chosen, results, soaks, runs, soak_count, markdown):
    names = [p.name for p in chosen if results[p.name]]

    def med(name, key):
        return median(r.get(key) for r in results[name])

    def count(name, key):
        return sum(1 for r in results[name] if r.get(key) is not None)

    def verdict(ok):
        return "n/a" if ok is None else ("met" if ok else "MISSED")

    print()
    print(f"Medians over {runs} runs (successful runs in brackets)")
    print(f"{'':20}" + "".join(f"{label:>25}" for *_, label in FIGURES) + f"{'procs':>7}")
    for name in names:
        print(f"{name:20}" + "".join(f"{'':6}{fmt(med(name, key), scale, unit)} [{count(name, key):2}]"
                                     for key, scale, unit, _ in FIGURES)
              + f"{fmt_count(med(name, 'procs')):>7}")

    verdicts = []
    for program in chosen:
        if program.kind != programs.ORVANE or not results[program.name]:
            continue
        name, ref = program.name, program.reference
        print()
        sec = med(name, "second")
        seconds = sorted(r["second"] * 1000 for r in results[name] if r.get("second") is not None)
        spawned = sorted({n for r in results[name] for n in (r.get("second_started") or [])})
        engine = [n for n in spawned if n.startswith(ENGINE_PROCESSES)]
        windows = [r.get("windows") for r in results[name] if r.get("windows") is not None]
        single = sum(1 for w in windows if w == 1)
        spread = f", {seconds[0]:.1f} to {seconds[-1]:.1f} ms" if seconds else ""
        print(f"{name}: second start to exit {fmt(sec, 1000, 'ms').strip()} "
              f"[{count(name, 'second')}{spread}], it started "
              f"{', '.join(spawned) if spawned else 'nothing'}; one {WINDOW_CLASS} window after "
              f"it in {single} of {len(windows)} runs")
        ok = None if sec is None else (sec * 1000 <= TARGET_SECOND_MS and not engine
                                       and single == len(windows) > 0)
        print(f"  second start <= {TARGET_SECOND_MS:.0f} ms median, no engine process, one "
              f"window: {verdict(ok)}")
        verdicts.append(("second start (median)", fmt(sec, 1000, "ms").strip(),
                         f"<= {TARGET_SECOND_MS:.0f} ms", verdict(ok)))
        for key, target, label in TARGETS:
            value = ratio(med(name, key), med(ref, key)) if ref in names else None
            shown = f"{value:.3f}" if value else "n/a"
            v = verdict(None if value is None else value <= target)
            print(f"  {label} against {ref}: {shown} (<= {target:.2f}: {v})")
            verdicts.append((f"{label} / {ref}", shown, f"<= {target:.2f}", v))

    for name, (samples, reached) in soaks.items():
        print()
        print(f"soak of {name}: {reached} of {soak_count} pages, {len(samples)} samples"
              + (f", {samples[-1][1]:.0f} s" if samples else ""))
        for key, figures in soak_summary(samples, soak_count).items():
            k = figures["slope_last_half"]
            print(f"  {key}: {mib(figures['first'][1])} at page {figures['first'][0]}, "
                  f"{mib(figures['last'][1])} at page {figures['last'][0]}; fitted rise "
                  f"{mib(figures['first_half_rise'], '+')} over the first half, "
                  f"{mib(figures['last_half_rise'], '+')} over the last half "
                  f"({mib(None if k is None else k * 100, '+')} per 100 pages): "
                  f"{'GROWS steadily' if figures['growing'] else 'no steady growth'}")

    if markdown:
        print()
        print("| program | " + " | ".join(label for *_, label in FIGURES) + " | processes |")
        print("|---|" + "---:|" * (len(FIGURES) + 1))
        for name in names:
            cells = [fmt(med(name, key), scale, unit).strip() for key, scale, unit, _ in FIGURES]
            print(f"| {name} | " + " | ".join(cells) + f" | {fmt_count(med(name, 'procs'))} |")
        if verdicts:
            print()
            print("| figure | value | target | |")
            print("|---|---:|---|---|")
            for row in verdicts:
                print("| " + " | ".join(row) + " |")
        if soaks:
            print()
            print("| soak | pages | memory | at the first sample | at the end | fitted rise, "
                  "first half | fitted rise, last half | steady growth |")
            print("|---|---:|---|---:|---:|---:|---:|---|")
            for name, (samples, reached) in soaks.items():
                for key, f in soak_summary(samples, soak_count).items():
                    print(f"| {name} | {reached} | {key} | {mib(f['first'][1])} | "
                          f"{mib(f['last'][1])} | {mib(f['first_half_rise'], '+')} "
                          f"| {mib(f['last_half_rise'], '+')} | "
                          f"{'yes' if f['growing'] else 'no'} |")


def fmt_count(value):
    return "n/a" if value is None else f"{value:g}"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--warmup", type=int, default=1, help="uncounted rounds first")
    parser.add_argument("--build", default=os.path.join(os.path.dirname(here), "build"))
    parser.add_argument("--only", help="comma-separated programs or groups to run, of "
                        + ", ".join((*programs.GROUPS, *programs.BY_NAME, *programs.ALIASES)))
    parser.add_argument("--timeout", type=float, default=60.0, help="seconds to wait for a load")
    parser.add_argument("--soak", type=int, default=1000,
                        help="pages of the soak, one window each (0: no soak)")
    parser.add_argument("--soak-every", type=int, default=20, help="pages between samples")
    parser.add_argument("--soak-programs", default="orvane-gtk,floor-gtk",
                        help="comma-separated programs to soak")
    parser.add_argument("--json", help="also write every measurement to this file")
    parser.add_argument("--markdown", action="store_true", help="also print a Markdown table")
    args = parser.parse_args()
    try:
        chosen = programs.select(args.only)
    except ValueError as unknown:
        parser.error(f"--only: unknown {unknown}")
    try:
        soaked = programs.select(args.soak_programs) if args.soak > 0 else []
    except ValueError as unknown:
        parser.error(f"--soak-programs: unknown {unknown}")

    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)

    server = PageServer()
    page, mail = server.url("/page"), server.url("/mail")
    results = {p.name: [] for p in chosen}
    skipped = set()
    print("load average at the start: " + " ".join(f"{v:.2f}" for v in os.getloadavg()))
    try:
        for round_ in range(-args.warmup, args.runs):
            for program in chosen:
                if program.name in skipped:
                    continue
                try:
                    r = run_program(program, args.build, page, mail, server, args.timeout)
                except programs.Skip as why:
                    print(f"bench: {program.name} skipped: {why}", file=sys.stderr, flush=True)
                    skipped.add(program.name)
                    continue
                label = "warm-up" if round_ < 0 else f"run {round_ + 1}"
                print(f"{label:8} {program.name:24} " + "  ".join(
                    f"{k}={v:.4f}" if isinstance(v, float) else f"{k}={v}" for k, v in r.items()),
                    flush=True)
                if round_ >= 0:
                    results[program.name].append(r)
        soaks = {}
        for program in soaked:
            try:
                soaks[program.name] = soak(program, args.build, server, args.soak,
                                           args.soak_every, 30.0)
            except programs.Skip as why:
                print(f"bench: soak of {program.name} skipped: {why}", file=sys.stderr)
    finally:
        server.close()
    print("load average at the end: " + " ".join(f"{v:.2f}" for v in os.getloadavg()))
    report(chosen, results, soaks, args.runs, args.soak, args.markdown)
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"starts": results, "soaks": soaks}, f, indent=1)


if __name__ == "__main__":
    sys.exit(main())
