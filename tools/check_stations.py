#!/usr/bin/env python3
"""Verify the shipped station data against what the program relies on.

Reads data/stations.txt, data/codes-a-k.txt, data/codes-l-z.txt and
data/station-geo.txt (or the files under --data DIR), checks every fact below, prints each failed one and
exits with status 1 if any failed. Standard library only; it shares no code
with the generator so that a mistake in one is not repeated in the other.

Usage: python3 tools/check_stations.py [--data DIR]
"""

from __future__ import annotations

import argparse
import collections
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

failures: list[str] = []
passed = 0


def fact(ok: bool, text: str) -> None:
    global passed
    if ok:
        passed += 1
    else:
        failures.append(text)


def read_lines(path: Path, what: str) -> list[str]:
    raw = path.read_bytes()
    fact(all(b < 0x80 for b in raw), f"{what}: ASCII only")
    fact(b"\r" not in raw, f"{what}: LF line ends, no CR")
    fact(raw.endswith(b"\n"), f"{what}: last line ends with LF")
    text = raw.decode("ascii", errors="replace")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    fact(all(line != "" for line in lines), f"{what}: no empty lines")
    return lines


def fold(name: str) -> str:
    return name.lower().replace("'", "")


def natural_key(code: str):
    # Digit runs count by value and come before letters at the same place.
    return [(0, int(t), t) if t.isdigit() else (1, 0, t) for t in re.findall(r"\d+|\D", code)]


def check_table(rows: list[str]) -> set[str]:
    fact(len(rows) == 4528, f"table: 4,528 entries (has {len(rows)})")
    entry_re = re.compile(r"[A-Z]{4}\\[^\\]+\\[^\\]+")
    bad = [r for r in rows if not entry_re.fullmatch(r)]
    fact(not bad, f"table: every entry is CODE\\Country\\City with 4 letters A-Z and two separators ({bad[:3]})")
    parts = [r.split("\\") for r in rows if entry_re.fullmatch(r)]
    if len(parts) != len(rows):
        return set()
    codes = [p[0] for p in parts]
    countries = [p[1] for p in parts]
    cities = [p[2] for p in parts]

    fact(len(set(codes)) == len(codes), "table: codes are unique")

    keys = [(fold(c), fold(t), k) for k, c, t in parts]
    unordered = [i + 1 for i in range(1, len(keys)) if not keys[i - 1] < keys[i]]
    fact(not unordered, f"table: ordered by country, city (no case, no apostrophes), code; first break at line {unordered[:1]}")

    # Each country one run, each city of a country one run.
    def runs(seq):
        out = []
        for x in seq:
            if not out or out[-1] != x:
                out.append(x)
        return out
    country_runs = runs(countries)
    fact(len(country_runs) == len(set(countries)), "table: every country is one contiguous run")
    city_runs = runs(list(zip(countries, cities)))
    fact(len(city_runs) == len(set(zip(countries, cities))), "table: every city of a country is one contiguous run")
    folded = collections.defaultdict(set)
    for c in set(countries):
        folded[fold(c)].add(c)
    fact(all(len(v) == 1 for v in folded.values()), "table: no two country names differ only by case or apostrophes")

    names = country_runs
    fact(len(set(countries)) == 229, f"table: 229 distinct countries (has {len(set(countries))})")
    fact(names[:1] == ["Afghanistan"] and names[-1:] == ["Zimbabwe"], "table: countries run from Afghanistan to Zimbabwe")

    size = collections.Counter(countries)
    usa_lines = [i + 1 for i, c in enumerate(countries) if c == "USA"]
    fact(len(usa_lines) == 1624 and usa_lines[0] == 2804 and usa_lines[-1] == 4427,
         f"table: USA has 1,624 entries in slots 2,804-4,427 (has {len(usa_lines)}, "
         f"{usa_lines[:1]}-{usa_lines[-1:]})")
    quoted = {"USA": 1624, "Canada": 225, "Brazil": 119, "France": 107, "Alaska": 103, "Uk": 92, "Japan ": 91}
    for name, n in quoted.items():
        fact(size[name] == n, f"table: {name!r} has {n} entries (has {size[name]})")
    others = [(c, n) for c, n in size.items() if c not in quoted and n >= min(quoted.values())]
    fact(not others, f"table: the quoted runs are the largest ({others[:3]})")
    fact("Alaska" in size and "Hawaii" in size, "table: Alaska and Hawaii are countries of their own")

    trailing = sorted(c for c in set(countries) if c.endswith(" "))
    fact(len(trailing) == 51, f"table: 51 country names end with a space (has {len(trailing)})")
    for name in ("Argentina ", "Australia ", "S Afr Rep ", "Japan "):
        fact(name in size, f"table: country {name!r} present with its trailing space")
    fact(not any(c.startswith(" ") or c.endswith("  ") for c in set(countries)),
         "table: country names have no leading blank and at most one trailing blank")
    for name in ("Pr Of China", "Uk", "S Afr Rep ", "USA", "Alaska", "Hawaii"):
        fact(name in size, f"table: country {name!r} present")
    fact(all(re.match(r"[A-Z]", c) for c in set(countries)), "table: country names start with a capital")
    fact(all(re.match(r"[A-Z]", t) for t in cities), "table: city names start with a capital")

    clen = [len(c) for c in countries]
    tlen = [len(t) for t in cities]
    fact(min(clen) == 2 and max(clen) == 32, f"table: country names 2 to 32 characters ({min(clen)}-{max(clen)})")
    fact(min(tlen) == 3 and max(tlen) == 28, f"table: city names 3 to 28 characters ({min(tlen)}-{max(tlen)})")
    longest = max(len(r) for r in rows)
    fact(longest == 48, f"table: longest entry 48 characters (has {longest})")

    allowed = re.compile(r"[A-Za-z4 &'()\-./\\]*")
    fact(all(allowed.fullmatch(r) for r in rows), "table: only letters, 4, space, & ' ( ) - . / and the separator")
    fact(sum(r.count("4") for r in rows) == 1, "table: the digit 4 occurs exactly once")

    examples = ["OACC\\Afghanistan\\Chakhcharan", "PANC\\Alaska\\Anchorage", "SAEZ\\Argentina \\Buenos Aires",
                "LFPG\\France\\Paris", "EGLL\\Uk\\London", "ZBAA\\Pr Of China\\Beijing", "KJFK\\USA\\New York",
                "FVFA\\Zimbabwe\\Victoria Falls"]
    for ex in examples:
        fact(ex in rows, f"table: row {ex!r} present")
    fact(rows[:1] == [examples[0]], "table: first row is OACC\\Afghanistan\\Chakhcharan")
    fact(rows[-1:] == [examples[-1]], "table: last row is FVFA\\Zimbabwe\\Victoria Falls")

    by_city = collections.defaultdict(list)
    for k, c, t in parts:
        by_city[(c, t)].append(k)
    multi = sum(1 for v in by_city.values() if len(v) > 1)
    fact(multi == 292, f"table: 292 cities have several codes (has {multi})")
    fact(by_city[("Alaska", "Anchorage")] == ["PAED", "PAMR", "PANC"], "table: Anchorage is PAED, PAMR, PANC")
    fact(by_city[("France", "Paris")] == ["LFPB", "LFPG", "LFPO"], "table: Paris is LFPB, LFPG, LFPO")
    fact(by_city[("France", "Abbeville")] == ["LFOI"], "table: Abbeville (France) is LFOI alone")
    fact(len(by_city[("Brazil", "Rio De Janeiro")]) == 4, "table: Rio De Janeiro has four codes")
    fact(size["Alaska"] == 103 and cities[countries.index("Alaska"):].count("Anchorage") == 3,
         "table: Alaska lists 103 cities, Anchorage three times")

    def before(a, b):
        return a in rows and b in rows and rows.index(a) < rows.index(b)
    first_of = {}
    for i, (k, c, t) in enumerate(parts):
        first_of.setdefault(c, i)
        first_of.setdefault((c, t), i)
    fact(first_of.get("Uruguay", 1e9) < first_of.get("USA", -1), "table: Uruguay comes before USA")
    xiamen = [(c, t) for c, t in by_city if t == "Xiamen"]
    xian = [(c, t) for c, t in by_city if t == "Xi'an"]
    fact(bool(xiamen and xian) and xiamen[0][0] == xian[0][0] and first_of[xiamen[0]] < first_of[xian[0]],
         "table: Xiamen comes before Xi'an in the same country")
    namibe = [(c, t) for c, t in by_city if t == "Namibe"]
    nzeto = [(c, t) for c, t in by_city if t == "N'zeto"]
    fact(bool(namibe and nzeto) and namibe[0][0] == nzeto[0][0] and first_of[namibe[0]] < first_of[nzeto[0]],
         "table: Namibe comes before N'zeto in the same country")
    return set(codes)


def check_lists(ak: list[str], lz: list[str], table_codes: set[str]) -> None:
    fact(len(ak) == 4151, f"A-K list: 4,151 codes (has {len(ak)})")
    fact(len(lz) == 2843, f"L-Z list: 2,843 codes (has {len(lz)})")
    fact(ak[:1] == ["AGGH"] and ak[-1:] == ["KZZV"], f"A-K list: runs from AGGH to KZZV ({ak[:1]}..{ak[-1:]})")
    fact(lz[:1] == ["LATI"] and lz[-1:] == ["ZYTX"], f"L-Z list: runs from LATI to ZYTX ({lz[:1]}..{lz[-1:]})")
    fact(all("A" <= c[:1] <= "K" for c in ak), "A-K list: every code begins with A to K")
    fact(all("L" <= c[:1] <= "Z" for c in lz), "L-Z list: every code begins with L to Z")
    both = ak + lz
    fact(all(re.fullmatch(r"[A-Z0-9]{4}", c) for c in both), "lists: every code is 4 upper-case letters or digits")
    fact(len(set(both)) == 6994 == len(both), f"lists: 6,994 distinct codes (has {len(set(both))} of {len(both)})")
    with_digit = [c for c in both if re.search(r"\d", c)]
    fact(len(with_digit) == 277, f"lists: 277 codes contain a digit (has {len(with_digit)})")
    for c in ("K0R3", "CP69", "K04V", "K9V9", "K11J", "K04W", "K1A5"):
        fact(c in both, f"lists: {c} present")
    fact(table_codes <= set(both), f"lists: every table code is listed (missing {sorted(table_codes - set(both))[:5]})")
    orphans = set(both) - table_codes
    fact(len(orphans) == 2466, f"lists: 2,466 codes have no table entry (has {len(orphans)})")
    for c in ("ATAR", "AZUH"):
        fact(c in orphans, f"lists: {c} is listed without a table entry")

    # Order: ascending with digit runs by value, except the two moved codes.
    def placed(lst, code, prev, nxt):
        if code not in lst:
            return False
        i = lst.index(code)
        ok_prev = prev is None or (i > 0 and lst[i - 1] == prev)
        ok_next = nxt is None or (i + 1 < len(lst) and lst[i + 1] == nxt)
        return ok_prev and ok_next
    fact(placed(ak, "FAOR", "FAJB", "FAKD"), "A-K list: FAOR stands between FAJB and FAKD")
    fact(placed(ak, "K04W", None, "K1A5"), "A-K list: K04W stands directly before K1A5")
    for lst, name in ((ak, "A-K"), (lz, "L-Z")):
        rest = [c for c in lst if c not in ("FAOR", "K04W")]
        keys = [natural_key(c) for c in rest]
        breaks = [rest[i] for i in range(1, len(rest)) if not keys[i - 1] < keys[i]]
        fact(not breaks, f"{name} list: ascending with digit runs by value, apart from FAOR and K04W ({breaks[:3]})")
    nat = sorted(ak, key=natural_key)
    fact(nat.index("FAOR") != nat.index("FAJB") + 1 and nat.index("K04W") != nat.index("K1A5") - 1,
         "A-K list: FAOR and K04W really stand outside the ascending order")

    def first(a, b):
        return a in ak and b in ak and ak.index(a) < ak.index(b)
    fact(first("K0R3", "K04V"), "A-K list: K0R3 before K04V")
    fact(first("K9V9", "K11J"), "A-K list: K9V9 before K11J")


def check_geography(path: Path, rows: list[str]) -> None:
    raw = path.read_bytes()
    fact(b"\r" not in raw and raw.endswith(b"\n"), "station-geo.txt: LF line ends, last line ends with LF")
    lines = raw.decode("utf-8").split("\n")[:-1]
    codes = [r.split("\\")[0] for r in rows]
    fields = [line.split(";") for line in lines]
    fact(all(len(f) == 5 for f in fields), "station-geo.txt: five fields on every line")
    fact([f[0] for f in fields] == codes, "station-geo.txt: the codes of stations.txt, in its order")
    degrees = re.compile(r"-?\d{1,3}\.\d{4}")
    placed = [f for f in fields if len(f) == 5 and f[1]]
    fact(all(degrees.fullmatch(f[1]) and degrees.fullmatch(f[2]) and abs(float(f[1])) <= 90
             and abs(float(f[2])) <= 180 for f in placed), "station-geo.txt: positions in degrees, 4 decimals")
    fact(all(not f[1] and not f[2] for f in fields if len(f) == 5 and f not in placed),
         "station-geo.txt: latitude and longitude given together")
    fact(4450 <= len(placed) <= 4528, f"station-geo.txt: about 4,500 stations placed (has {len(placed)})")
    fact(all(re.fullmatch(r"-?\d+|", f[3]) for f in fields if len(f) == 5), "station-geo.txt: elevations in whole feet")
    lfpg = next((f for f in fields if f[0] == "LFPG"), None)
    fact(lfpg is not None and abs(float(lfpg[1]) - 49.01) < 0.02 and abs(float(lfpg[2]) - 2.55) < 0.02,
         "station-geo.txt: LFPG at 49.01N 2.55E")


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--data", type=Path, default=ROOT / "data")
    args = ap.parse_args()
    rows = read_lines(args.data / "stations.txt", "stations.txt")
    ak = read_lines(args.data / "codes-a-k.txt", "codes-a-k.txt")
    lz = read_lines(args.data / "codes-l-z.txt", "codes-l-z.txt")
    table_codes = check_table(rows)
    check_lists(ak, lz, table_codes)
    check_geography(args.data / "station-geo.txt", rows)
    for f in failures:
        print(f"FAILED: {f}")
    print(f"{passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
