#!/usr/bin/env python3
"""Start-up of the real program: median time from process start to the first report painted in the window,
and resident memory once idle, the METAR being served on 127.0.0.1. Runs under Xvfb when it is installed,
otherwise on the offscreen platform. Usage: bench/startup.py [runs]"""
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


def start_display():
    if not shutil.which("Xvfb"):
        return None, {"QT_QPA_PLATFORM": "offscreen"}
    display = f":{150 + os.getpid() % 100}"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    return xvfb, {"DISPLAY": display, "QT_QPA_PLATFORM": "xcb"}


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    if not EXE.exists():
        sys.exit("build first: ./test.sh")
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
            arguments = [str(EXE), "--weather-base", base]

            times = []
            for _ in range(runs + 1):
                start = time.perf_counter()
                subprocess.run(arguments, env=dict(env, VENTORIX_EXIT_AFTER_FIRST_REPORT="1"), check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                times.append((time.perf_counter() - start) * 1000)
            times = times[1:]  # the first run warms the file cache

            process = subprocess.Popen(arguments, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(3)
            status = pathlib.Path(f"/proc/{process.pid}/status").read_text()
            resident = next(int(line.split()[1]) for line in status.splitlines() if line.startswith("VmRSS:"))
            process.send_signal(signal.SIGTERM)
            process.wait(10)
            server.shutdown()
    finally:
        if xvfb:
            xvfb.terminate()
    platform = "Xvfb" if xvfb else "offscreen"
    print(f"start-up to first report painted ({platform}), {runs} runs: median {statistics.median(times):.1f} ms "
          f"(min {min(times):.1f}, max {max(times):.1f}); resident once idle {resident / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
