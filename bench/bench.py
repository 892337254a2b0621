#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the benchmark: Tavrin beside a bare Qt program (in two shapes) and a
bare Xlib program in one private Xvfb, alternating, and prints one table of
medians. The bare Qt floor is whichever shape draws its first frame sooner.

The X server and the places the client clicks come from the desktop tests'
harness (tests/desktop, on PYTHONPATH): the places are read once from
Tavrin's accessibility tree, in a run of its own before any measured one,
so the measured runs keep the accessibility bridge off.

Usage: bench.py BUILD_DIR JSON_OUT

Environment (all optional):
  TAVRIN_BENCH_RUNS        measured runs of each program (default 15)
  TAVRIN_BENCH_WARMUP      unmeasured runs of each program first (default 2)
  TAVRIN_BENCH_GAP_MS      pause after each program has left (default 150)
  TAVRIN_BENCH_IDLE_S      length of the idle window in seconds (default 30)
  TAVRIN_BENCH_IDLE_RUNS   programs of each kind watched while idle (default 3)
  TAVRIN_BENCH_IDLE_AFTER_S  seconds from the last start to the idle window
                           (default 7.5: the splash's timer has handed over
                           on its sixth tick and stopped)
  TAVRIN_BENCH_MOVE_TRIALS trials of the move costs (default 9)
"""

import json
import os
import platform
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from player import OPENER_WINS, Player
from program import Program
from sessionbus import SessionBus
from x11desktop import X11Desktop

TARGETS = {
    "first_frame_ms": "<= 1.15 x floor",
    "startup_ms": "<= 1.10 x bare Qt",
    "handover_ms": "<= 20 ms",
    "private_dirty_match_mib": "<= floor + 1.5 MiB",
    # Shown beside the written memory, without a target: it counts the
    # library pages every Qt program on the desktop shares.
    "peak_rss_mib": "-",
    "idle_wakeups_per_min": "<= bare Qt",
    "qt_move_us": "< 500 us",
    "memory_move_us": "-",
}

LABELS = {
    "first_frame_ms": "start-up, exec to first frame drawn in the first window (ms)",
    "first_frame_cpu_ms": "  CPU time to the first frame, all threads (ms)",
    "startup_ms": "start-up, exec to first window mapped (ms)",
    "startup_cpu_ms": "  CPU time of the start-up, all threads (ms)",
    "handover_ms": "hand-over, click on splash frame to main window mapped (ms)",
    "handover_cpu_ms": "  CPU time of the hand-over (ms)",
    "private_dirty_handover_mib": "written private memory after hand-over (Private_Dirty, MiB)",
    "private_dirty_match_mib": "written private memory after a full match (Private_Dirty, MiB)",
    "peak_rss_mib": "peak resident memory, after hand-over and a full match (MiB)",
    "idle_wakeups_per_min": "idle wake-ups, voluntary context switches per minute",
    "qt_move_us": "move through the Qt window, offscreen, repaint included (us)",
    "qt_move_whole_repaint_us": "move with the whole window repainted (us)",
    "memory_move_us": "move through the in-memory window (us)",
}


# Rows in the table's order; the old ones keep their names in the JSON.
ROWS = ("first_frame_ms", "first_frame_cpu_ms", "startup_ms", "startup_cpu_ms", "handover_ms", "handover_cpu_ms",
        "private_dirty_handover_mib", "private_dirty_match_mib", "peak_rss_mib", "idle_wakeups_per_min",
        "qt_move_us", "qt_move_whole_repaint_us", "memory_move_us")
# Rows compared with the bare Qt floor; the others, as before, with the laid-out bare Qt.
FLOOR_ROWS = ("first_frame_ms", "first_frame_cpu_ms", "private_dirty_handover_mib", "private_dirty_match_mib")
PROGRAMS = ("tavrin", "bare_qt", "bare_qt_fixed", "bare_x11")
BARE_QT_SHAPES = ("bare_qt", "bare_qt_fixed")


def env_number(name, default):
    value = os.environ.get(name, "")
    return type(default)(value) if value else default


def log(message):
    print("bench: " + message, file=sys.stderr, flush=True)


def learn_places(tavrin, workdir):
    """Where the client clicks, read from Tavrin's accessibility tree on a
    desktop of its own: the splash's bare frame (--click, in the splash)
    and the middles of Play Now, Continue and the cells (--at, in the main
    window)."""
    bus = SessionBus().start()
    desktop = X11Desktop(workdir)
    program = None
    try:
        desktop.start()
        program = Program(desktop, tavrin, log_name="tavrin-places.log").start()
        player = Player(desktop, program)
        program.wait_splash()
        click = player.splash_frame_spot()
        player.skip_splash()
        places = {"play-now": player.wait_main_menu().controls["Command2"].centre()}
        state = player.play_now("Player 1", "Player 2")
        places.update(("cell%d" % (i + 1), node.centre()) for i, node in enumerate(state.cell_nodes))
        player.play(OPENER_WINS)
        places["continue"] = player.wait_result("Player 1", 1, "a won game").controls["Command3"].centre()
    finally:
        if program is not None:
            program.stop()
        desktop.close()
        bus.close()
    options = ["--click", "%d,%d" % click]
    for name, (x, y) in sorted(places.items()):
        options += ["--at", "%s=%d,%d" % (name, x, y)]
    return options


def parse_figures(text):
    """The client's "key number" lines; its "idle_wake ..." lines as a list."""
    figures = {"wakes": []}
    for line in text.splitlines():
        key, _, value = line.partition(" ")
        if key == "idle_wake":
            figures["wakes"].append(value)
        elif value:
            figures[key] = float(value)
    return figures


class Runner:
    def __init__(self, build, workdir, display):
        self.client = os.path.join(build, "bench", "bench_client")
        self.workdir = workdir
        self.env = {
            "PATH": "/usr/bin:/bin",
            "HOME": os.environ.get("HOME", "/root"),
            "DISPLAY": display,
            "QT_QPA_PLATFORM": "xcb",
            "XDG_RUNTIME_DIR": os.path.join(workdir, "runtime"),
            "LANG": os.environ.get("LANG", "C.UTF-8"),
        }
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.gap = env_number("TAVRIN_BENCH_GAP_MS", 150) / 1000.0
        self.programs = {
            "tavrin": [os.path.join(build, "app", "tavrin")],
            "bare_qt": [os.path.join(build, "bench", "bench_bareqt")],
            "bare_qt_fixed": [os.path.join(build, "bench", "bench_bareqt"), "--fixed-geometry"],
            "bare_x11": [os.path.join(build, "bench", "bench_barex11")],
        }

    def command(self, name, options):
        return [self.client, "--log", os.path.join(self.workdir, name + ".log")] + options + [
            "--"] + self.programs[name]

    def run(self, name, options):
        done = subprocess.run(self.command(name, options), env=self.env, capture_output=True,
                              text=True, timeout=120)
        # Xvfb holds up a client that connects right after another one left.
        time.sleep(self.gap)
        if done.returncode != 0:
            raise RuntimeError(f"{name}: {done.stderr.strip()}")
        return parse_figures(done.stdout)

    def start(self, name, options):
        return subprocess.Popen(self.command(name, options), env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def side_by_side(runner, runs, warmup, places):
    """Start-up, hand-over and memory: one program after the other."""
    options = {name: [] for name in PROGRAMS}
    # Tavrin: splash, a click on its frame, a full match, then the memory.
    options["tavrin"] = places + ["--match"]
    names = list(options)
    samples = {name: {} for name in names}
    for round_number in range(warmup + runs):
        # Each program goes first, second, ... in turn.
        shift = round_number % len(names)
        for name in names[shift:] + names[:shift]:
            figures = runner.run(name, options[name])
            figures.pop("wakes")
            if round_number < warmup:
                continue
            for key, value in figures.items():
                samples[name].setdefault(key, []).append(value)
        if round_number >= warmup:
            log("round %d of %d: %s" % (
                round_number - warmup + 1, runs,
                ", ".join("%s %.1f ms" % (n, samples[n]["first_frame_ms"][-1]) for n in names)))
    return samples


def idle(runner, per_program, seconds, after_start):
    """Wake-ups of untouched programs, all watched over the same window."""
    names = ["tavrin", "bare_qt", "bare_x11"]
    order = [name for _ in range(per_program) for name in names]
    # Every program is started and, for Tavrin, handed over by its own timer
    # before the window opens; then nobody maps, unmaps or touches anything.
    start_gap = 0.3
    window_opens = time.monotonic() + len(order) * start_gap + after_start
    clients = []
    for name in order:
        windows = "2" if name == "tavrin" else "1"
        clients.append((name, runner.start(name, [
            "--windows", windows, "--settle-ms", "0",
            "--idle-at", "%.6f" % window_opens, "--idle-ms", str(int(seconds * 1000))])))
        time.sleep(start_gap)
    samples = {name: {} for name in names}
    for name, client in clients:
        out, err = client.communicate(timeout=seconds + 120)
        if client.returncode != 0:
            raise RuntimeError(f"{name}: {err.strip()}")
        figures = parse_figures(out)
        # Which thread woke, when and how: kept in the JSON for the diagnosis.
        samples[name].setdefault("wakes", []).append(figures.pop("wakes"))
        for key, value in figures.items():
            samples[name].setdefault(key, []).append(value)
    time.sleep(runner.gap)
    return samples


def moves(build, trials, runner_env):
    env = dict(runner_env, QT_QPA_PLATFORM="offscreen")
    env.pop("DISPLAY", None)
    done = subprocess.run([os.path.join(build, "bench", "bench_moves"), str(trials)], env=env,
                          capture_output=True, text=True, timeout=600, check=True)
    samples = {}
    for line in done.stdout.splitlines():
        key, _, value = line.partition(" ")
        samples.setdefault(key, []).append(float(value))
    return samples


def summary(values):
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values),
            "samples": values}


def collect(side, quiet, move_samples, idle_seconds):
    figures = {}
    for name in PROGRAMS:
        run = side[name]
        for key in ("first_frame_ms", "first_frame_cpu_ms", "startup_ms", "startup_cpu_ms"):
            figures.setdefault(key, {})[name] = summary(run.get(key, []))
        for key in ("handover_ms", "handover_cpu_ms"):
            if key in run:
                figures.setdefault(key, {})[name] = summary(run[key])
        # A program without a hand-over or a match is read once, settled.
        after_match = run.get("private_dirty_kib", [])
        after_handover = run.get("handover_private_dirty_kib", after_match)
        figures.setdefault("private_dirty_handover_mib", {})[name] = summary(
            [kib / 1024.0 for kib in after_handover])
        figures.setdefault("private_dirty_match_mib", {})[name] = summary([kib / 1024.0 for kib in after_match])
        figures.setdefault("peak_rss_mib", {})[name] = summary(
            [kib / 1024.0 for kib in run.get("vmhwm_kib", [])])
        if name not in quiet:
            continue
        watched = quiet[name]
        figures.setdefault("idle_wakeups_per_min", {})[name] = summary(
            [count * 60.0 / idle_seconds for count in watched.get("idle_switches_all", [])])
        figures.setdefault("idle_wakeups_main_thread_per_min", {})[name] = summary(
            [count * 60.0 / idle_seconds for count in watched.get("idle_switches_main", [])])
        figures.setdefault("idle_wake_log", {})[name] = watched.get("wakes", [])
    for key in ("qt_move_us", "qt_move_whole_repaint_us", "memory_move_us"):
        figures[key] = {"tavrin": summary(move_samples.get(key, []))}
    return figures


def floor_shape(figures):
    """The bare Qt shape that draws its first frame sooner."""
    return min(BARE_QT_SHAPES, key=lambda name: figures["first_frame_ms"][name]["median"])


def compared_with(key, figures):
    return floor_shape(figures) if key in FLOOR_ROWS else "bare_qt"


def met(key, figure, floor):
    tavrin = figure["tavrin"]["median"]
    bare = (figure.get("bare_qt") or {}).get("median")
    if key == "first_frame_ms":
        return tavrin <= 1.15 * figure[floor]["median"]
    if key == "private_dirty_match_mib":
        return tavrin <= figure[floor]["median"] + 1.5
    if key == "startup_ms":
        return tavrin <= 1.10 * bare
    if key == "handover_ms":
        return tavrin <= 20
    if key == "idle_wakeups_per_min":
        return tavrin <= bare
    if key == "qt_move_us":
        return tavrin < 500
    return None


def cell(stat, digits):
    if not stat:
        return "-"
    return "%.*f [%.*f-%.*f]" % (digits, stat["median"], digits, stat["min"], digits, stat["max"])


def table(figures, previous):
    floor = floor_shape(figures)
    rows = [("figure", "Tavrin med [min-max]", "bare Qt laid out", "bare Qt fixed", "bare Xlib", "Tavrin/Qt",
             "target", "met", "last run")]
    for key in ROWS:
        figure = figures[key]
        digits = 3 if key == "memory_move_us" else 1
        tavrin = figure["tavrin"]
        bare = figure.get(compared_with(key, figures))
        ratio = "-"
        if bare and bare["median"]:
            ratio = "%.2f" % (tavrin["median"] / bare["median"])
        verdict = met(key, figure, floor)
        before = (((previous or {}).get(key) or {}).get("tavrin") or {}).get("median")
        rows.append((LABELS[key], cell(tavrin, digits), cell(figure.get("bare_qt"), digits),
                     cell(figure.get("bare_qt_fixed"), digits), cell(figure.get("bare_x11"), digits),
                     ratio, TARGETS.get(key, "-"), {True: "yes", False: "NO", None: "-"}[verdict],
                     "-" if before is None else "%.*f" % (digits, before)))
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
    lines = []
    for index, row in enumerate(rows):
        lines.append("  ".join(text.ljust(width) for text, width in zip(row, widths)).rstrip())
        if index == 0:
            lines.append("  ".join("-" * width for width in widths))
    lines.append("")
    lines.append("floor: bare Qt %s, the shape with the sooner first frame; Tavrin/Qt compares the rows "
                 "from the first frame to the written memory with it, the others with bare Qt laid out"
                 % ("fixed" if floor == "bare_qt_fixed" else "laid out"))
    return "\n".join(lines)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    build, json_out = sys.argv[1], sys.argv[2]
    runs = env_number("TAVRIN_BENCH_RUNS", 15)
    warmup = env_number("TAVRIN_BENCH_WARMUP", 2)
    idle_seconds = env_number("TAVRIN_BENCH_IDLE_S", 30.0)
    idle_runs = env_number("TAVRIN_BENCH_IDLE_RUNS", 3)
    trials = env_number("TAVRIN_BENCH_MOVE_TRIALS", 9)
    idle_after = env_number("TAVRIN_BENCH_IDLE_AFTER_S", 7.5)

    previous = None
    if os.path.exists(json_out):
        with open(json_out) as stored:
            previous = json.load(stored).get("figures")

    workdir = tempfile.mkdtemp(prefix="tavrin-bench-")
    # Ends the X servers, and with them every program on them, when interrupted.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    log("the places to click, from Tavrin's accessibility tree")
    os.makedirs(os.path.join(workdir, "places"))
    places = learn_places(os.path.join(build, "app", "tavrin"), os.path.join(workdir, "places"))
    log(" ".join(places))
    # Pages of files just built count as dirty until written back, and would
    # swell the programs' Private_Dirty.
    os.sync()
    load_before = os.getloadavg()
    server = X11Desktop(workdir, window_manager=False)
    try:
        server.start()
        runner = Runner(build, workdir, server.display)
        log("start-up, hand-over and memory: %d warm-up and %d measured runs of each program" % (warmup, runs))
        side = side_by_side(runner, runs, warmup, places)
        log("idle: %d of each program watched over %.0f s" % (idle_runs, idle_seconds))
        quiet = idle(runner, idle_runs, idle_seconds, idle_after)
    except Exception:
        log("the programs' output is kept in " + workdir)
        raise
    finally:
        server.close()
    log("cost of a move: %d trials" % trials)
    move_samples = moves(build, trials, runner.env)
    shutil.rmtree(workdir, ignore_errors=True)

    figures = collect(side, quiet, move_samples, idle_seconds)
    report = {
        "when": time.strftime("%Y-%m-%dT%H:%M:%S%z"),
        "machine": {"cpus": os.cpu_count(), "kernel": platform.release(),
                    "load_before": load_before, "load_after": os.getloadavg()},
        "settings": {"runs": runs, "warmup": warmup, "gap_ms": runner.gap * 1000, "idle_s": idle_seconds,
                     "idle_runs": idle_runs, "idle_after_s": idle_after, "move_trials": trials},
        "targets": TARGETS,
        "floor": floor_shape(figures),
        "figures": figures,
    }
    with open(json_out, "w") as out:
        json.dump(report, out, indent=1)
        out.write("\n")
    print(table(figures, previous))
    print("\nload average before %.2f, after %.2f; written to %s" % (load_before[0], os.getloadavg()[0], json_out))


if __name__ == "__main__":
    main()
