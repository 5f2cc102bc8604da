#!/usr/bin/env python3
"""Start-up of the real program: median time from process start to the first report painted in the window,
its peak resident memory, and resident memory once idle, the METAR being served on 127.0.0.1. Runs under
Xvfb when it is installed, otherwise on the offscreen platform.

With --yardstick, build/bench/bench_yardstick (the least Qt program doing the same job) runs paired with
each program, turn about in every round, so that both see the same machine; the ratio is the median of the
rounds' ratios. --program, given several times, compares builds in one sitting (copies of build/Ventorix
kept from each step, say).
Usage: bench/startup.py [runs] [--yardstick] [--program EXE]... [--no-idle]"""
import argparse
import os
import pathlib
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from report import EXE, ROOT, serve  # noqa: E402

YARDSTICK = ROOT / "build" / "bench" / "bench_yardstick"


def start_display():
    if not shutil.which("Xvfb"):
        return None, {"QT_QPA_PLATFORM": "offscreen"}
    display = f":{150 + os.getpid() % 100}"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    return xvfb, {"DISPLAY": display, "QT_QPA_PLATFORM": "xcb"}


def run_once(arguments, env):
    """Wall time in ms, peak resident memory in MiB and processor time in ms of one run to its first report
    painted. The processor time is the figure to trust on a busy machine, where the wall time mostly measures
    the other processes."""
    start = time.perf_counter()
    process = subprocess.Popen(arguments, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = (time.perf_counter() - start) * 1000
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{arguments[0]} failed")
    return elapsed, usage.ru_maxrss / 1024, (usage.ru_utime + usage.ru_stime) * 1000


def resident_once_idle(arguments, env):
    process = subprocess.Popen(arguments, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(3)
    status = pathlib.Path(f"/proc/{process.pid}/status").read_text()
    resident = next(int(line.split()[1]) for line in status.splitlines() if line.startswith("VmRSS:"))
    process.send_signal(signal.SIGTERM)
    process.wait(10)
    return resident / 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("runs", nargs="?", type=int, default=10)
    parser.add_argument("--yardstick", action="store_true", help="run the yardstick paired with each program")
    parser.add_argument("--program", action="append", type=pathlib.Path, help="a build of the program (repeatable)")
    parser.add_argument("--no-idle", action="store_true", help="skip the resident memory once idle")
    options = parser.parse_args()
    programs = options.program or [EXE]
    for program in programs + ([YARDSTICK] if options.yardstick else []):
        if not program.exists():
            sys.exit(f"{program}: build first (cmake --build build)")
    xvfb, display = start_display()
    try:
        with tempfile.TemporaryDirectory() as folder:
            folder = pathlib.Path(folder)
            metar = folder / "data/observations/metar/decoded"
            metar.mkdir(parents=True)
            shutil.copy(ROOT / "tests/data/metar/LFPG.TXT", metar / "LFPG.TXT")
            server = serve(folder)
            base = f"http://127.0.0.1:{server.server_address[1]}"
            env = dict(os.environ, **display, XDG_CONFIG_HOME=str(folder / "config"),
                       XDG_CACHE_HOME=str(folder / "cache"))
            first_report = dict(env, VENTORIX_EXIT_AFTER_FIRST_REPORT="1")
            commands = [([str(program), "--weather-base", base], first_report) for program in programs]
            if options.yardstick:
                commands.append(([str(YARDSTICK), base], env))

            samples = [[] for _ in commands]
            for round_number in range(options.runs + 1):
                # Turn about, starting with another command each round, so no command always follows the same one.
                order = list(range(len(commands)))
                shift = round_number % len(order)
                for index in order[shift:] + order[:shift]:
                    samples[index].append(run_once(*commands[index]))
            samples = [runs[1:] for runs in samples]  # the first round warms the file cache

            # The yardstick ends after its paint: only the program stays to be idle.
            idle = [None if options.no_idle or arguments[0] == str(YARDSTICK) else resident_once_idle(arguments, env)
                    for arguments, _ in commands]
            server.shutdown()
    finally:
        if xvfb:
            xvfb.terminate()
    platform = "Xvfb" if xvfb else "offscreen"
    print(f"start-up to first report painted ({platform}), {options.runs} paired runs, medians")
    for (arguments, _), runs, resident in zip(commands, samples, idle):
        times = [t for t, _, _ in runs]
        line = (f"{'/'.join(pathlib.Path(arguments[0]).parts[-2:]):<28} {statistics.median(times):7.1f} ms "
                f"(min {min(times):.1f}, max {max(times):.1f}), processor {statistics.median(c for _, _, c in runs):6.1f} ms, "
                f"peak {statistics.median(m for _, m, _ in runs):5.1f} MiB")
        if options.yardstick and arguments[0] != str(YARDSTICK):
            ratios = [t / y for (t, _, _), (y, _, _) in zip(runs, samples[-1])]
            processor = [c / y for (_, _, c), (_, _, y) in zip(runs, samples[-1])]
            line += (f", {statistics.median(ratios):.2f}x the yardstick "
                     f"({statistics.median(processor):.2f}x in processor time)")
        if resident is not None:
            line += f", resident once idle {resident:.1f} MiB"
        print(line)

if __name__ == "__main__":
    main()
