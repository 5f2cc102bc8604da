#!/usr/bin/env python3
"""Median wall time of a whole flight dossier written as a PDF: `Ventorix --dossier` over five stations, each
with its METAR, TAF and NOTAMs (fifteen downloads, four at a time) from a local HTTP server on 127.0.0.1.
Usage: bench/dossier.py [runs] [format]"""
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from report import EXE, ROOT, serve  # noqa: E402

STATIONS = ["LFPG", "LFRS", "LFRN", "LFRB", "LFPO"]
NOTAM_PAGE = "regusers/publictools/corp_comp/metar_taf_notam.html"


def fill(folder):
    """Every station's METAR and TAF, and the NOTAM page that answers for all of them."""
    metar = (ROOT / "tests/data/metar/LFPG.TXT").read_text(encoding="utf-8")
    taf = (ROOT / "bench/data/LFPG-taf.TXT").read_text(encoding="utf-8")
    for path, text in (("data/observations/metar/decoded", metar), ("data/forecasts/taf/stations", taf)):
        (folder / path).mkdir(parents=True)
        for code in STATIONS:
            (folder / path / f"{code}.TXT").write_text(text.replace("LFPG", code), encoding="utf-8")
    page = folder / NOTAM_PAGE
    page.parent.mkdir(parents=True)
    page.write_bytes((ROOT / "tests/data/notam/LFPG-icao.html").read_bytes())


def run_once(arguments):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TZ="UTC")
    start = time.perf_counter()
    status = subprocess.run(arguments, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env).returncode
    elapsed = (time.perf_counter() - start) * 1000
    if status != 0:
        sys.exit(f"{' '.join(map(str, arguments))} ended with {status}")
    return elapsed


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    output_format = sys.argv[2] if len(sys.argv) > 2 else "pdf"
    if not EXE.exists():
        sys.exit("build first: ./test.sh")
    with tempfile.TemporaryDirectory() as folder:
        folder = pathlib.Path(folder)
        fill(folder)
        server = serve(folder)
        base = f"http://127.0.0.1:{server.server_address[1]}"
        output = folder / f"dossier.{output_format}"
        arguments = [str(EXE), "--dossier", *STATIONS, "--depart", "13:00", "--arrive", "14:30",
                     "--weather-base", base, "--notam-base", base, "--now", "2026-12-07T12:00",
                     "--format", output_format, "--output", str(output)]
        run_once(arguments)  # warm the file cache
        times = [run_once(arguments) for _ in range(runs)]
        size = output.stat().st_size
        server.shutdown()
    print(f"Ventorix --dossier, {len(STATIONS)} stations x 3 reports as {output_format} ({size} bytes), {runs} runs: "
          f"median {statistics.median(times):.1f} ms (min {min(times):.1f}, max {max(times):.1f})")


if __name__ == "__main__":
    main()
