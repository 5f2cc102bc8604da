#!/usr/bin/env python3
"""Median wall time and peak resident memory of `ventorix-report --report TYPE LFPG` (the small report
program scripts use; VENTORIX_EXE=build/Ventorix measures the full program instead) over N runs, the report being
served on 127.0.0.1 by a local HTTP server, each run paired with `curl -s` fetching the same file (when curl is
installed): the median of the pair-by-pair ratios holds when the machine's speed drifts.
Usage: bench/report.py [metar|taf] [runs]"""
import functools
import http.server
import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
EXE = pathlib.Path(os.environ.get("VENTORIX_EXE", ROOT / "build" / "Ventorix"))
GNU_TIME = shutil.which("time", path="/usr/bin")
REPORT_EXE = pathlib.Path(os.environ.get("VENTORIX_EXE", ROOT / "build" / "ventorix-report"))


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def run_once(arguments):
    """Wall time in ms and peak resident memory in MiB of one run. A child of this script starts as a copy of
    it, and the kernel keeps that copy's peak across exec (about 20 MiB of Python): GNU time, itself small,
    starts the program when it is installed, so the peak is the program's own."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    with tempfile.NamedTemporaryFile("r") as peak_file:
        prefix = [GNU_TIME, "-f", "%M", "-o", peak_file.name] if GNU_TIME else []
        start = time.perf_counter()
        process = subprocess.Popen(prefix + list(arguments), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   env=env)
        _, status, usage = os.wait4(process.pid, 0)
        elapsed = time.perf_counter() - start
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{' '.join(map(str, arguments))} failed")
        peak_kib = int(peak_file.read().split()[-1]) if GNU_TIME else usage.ru_maxrss
    return elapsed * 1000, peak_kib / 1024


def main():
    kind = sys.argv[1] if len(sys.argv) > 1 else "metar"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    if not REPORT_EXE.exists():
        sys.exit("build first: ./test.sh")
    with tempfile.TemporaryDirectory() as folder:
        folder = pathlib.Path(folder)
        metar = folder / "data/observations/metar/decoded"
        taf = folder / "data/forecasts/taf/stations"
        metar.mkdir(parents=True)
        taf.mkdir(parents=True)
        shutil.copy(ROOT / "tests/data/metar/LFPG.TXT", metar / "LFPG.TXT")
        shutil.copy(ROOT / "bench/data/LFPG-taf.TXT", taf / "LFPG.TXT")
        server = serve(folder)
        base = f"http://127.0.0.1:{server.server_address[1]}"
        arguments = [str(REPORT_EXE), "--report", kind, "LFPG", "--weather-base", base]
        path = "data/observations/metar/decoded/LFPG.TXT" if kind == "metar" else "data/forecasts/taf/stations/LFPG.TXT"
        curl = shutil.which("curl")
        yardstick = [curl, "-s", "-o", "/dev/null", f"{base}/{path}"] if curl else None
        run_once(arguments)  # warm the file cache
        samples, pairs = [], []
        for _ in range(runs):
            samples.append(run_once(arguments))
            if yardstick:
                pairs.append(run_once(yardstick))
        server.shutdown()
    times = [t for t, _ in samples]
    peaks = [m for _, m in samples]
    print(f"{REPORT_EXE.name} --report {kind} LFPG, {runs} runs: median {statistics.median(times):.1f} ms "
          f"(min {min(times):.1f}, max {max(times):.1f}), peak resident memory {max(peaks):.1f} MiB")
    if pairs:
        ratios = [t / c for (t, _), (c, _) in zip(samples, pairs)]
        print(f"curl -s of the same file: median {statistics.median([c for c, _ in pairs]):.1f} ms, "
              f"peak {max(m for _, m in pairs):.1f} MiB; {REPORT_EXE.name}/curl pair by pair: median "
              f"{statistics.median(ratios):.2f}x (min {min(ratios):.2f}, max {max(ratios):.2f})")


if __name__ == "__main__":
    main()
