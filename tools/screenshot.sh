#!/usr/bin/env bash
# Takes a screenshot of the real window under Xvfb, the reports served from saved files through a file://
# base, and writes it to docs/screenshot.png (or the path given; further arguments go to the program).
# Needs xvfb and imagemagick. VENTORIX_EXE picks another build of the program; SCREENSHOT_BEFORE is a shell
# command run on the same display just before the capture (to click or hover with a tool of your own, say
# "xdotool mousemove 236 84"); SCREENSHOT_DELAY is the wait in seconds before it (the window folds its
# search region after about 20 seconds).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/screenshot.png}
exe="${VENTORIX_EXE:-$root/build/Ventorix}"
[ -x "$exe" ] || { echo "build first: ./test.sh" >&2; exit 1; }

served=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$served" "$home"' EXIT
mkdir -p "$served/data/observations/metar/decoded" "$served/data/forecasts/taf/stations"
cp "$root/tests/data/metar/"*.TXT "$served/data/observations/metar/decoded/"
cp "$root/bench/data/LFPG-taf.TXT" "$served/data/forecasts/taf/stations/LFPG.TXT"
# A settings file with a few favourites, so the bar shows.
mkdir -p "$home/config"
cat > "$home/config/Ventorix.ini" <<'INI'
[Fav]
0=LFPG
1=EGLL
2=KJFK
3=LFPO
INI

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 800x450x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$served" "$home"' EXIT
sleep 1
DISPLAY="$display" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
    "$exe" --weather-base "file://$served" "${@:2}" &
pid=$!
sleep "${SCREENSHOT_DELAY:-3}"
if [ -n "${SCREENSHOT_BEFORE:-}" ]; then
    DISPLAY="$display" bash -c "$SCREENSHOT_BEFORE"
    sleep 1
fi
DISPLAY="$display" import -window root -crop 728x364+0+0 +repage "$out"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "wrote $out"
