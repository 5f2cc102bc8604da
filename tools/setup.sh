#!/usr/bin/env bash
# Installs what building, testing and running need on Debian 12, then configures and builds in build/.
# Sourced by run.sh and test.sh.
set -euo pipefail

# clang-format checks the tree's formatting; desktop-file-utils and appstream validate the installed files
# in the tests; dpkg-dev gives cpack the dependencies of the Debian package; ca-certificates lets the
# default weather service be reached over HTTPS; qt6-translations-l10n puts Qt's own dialogs in French;
# poppler-utils lets the tests read the PDF briefings back.
VENTORIX_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-liberation2 ca-certificates clang-format git
    desktop-file-utils appstream dpkg-dev qt6-translations-l10n poppler-utils)
# With VENTORIX_FUZZ=1: clang and libFuzzer too, and the fuzz programs built in build-fuzz/.
VENTORIX_FUZZ_PACKAGES=(clang libclang-rt-dev)

ventorix_missing_packages() {
    local missing=()
    for package in "${VENTORIX_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    echo "${missing[@]:-}"
}

ventorix_install() {
    local missing
    if [ "${VENTORIX_FUZZ:-0}" = 1 ]; then
        set -- "$@" "${VENTORIX_FUZZ_PACKAGES[@]}"
    fi
    missing=$(ventorix_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" = 0 ]; then
        echo "Installation des paquets manquants : $missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        # shellcheck disable=SC2086
        apt-get install -y -qq --no-install-recommends $missing
    else
        echo "Paquets manquants : $missing" >&2
        echo "Installez-les avec : sudo apt-get install $missing" >&2
        exit 1
    fi
}

ventorix_build() {
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$root/build" --parallel "$(nproc)"
    if [ "${VENTORIX_FUZZ:-0}" = 1 ]; then
        CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DVENTORIX_FUZZ=ON >/dev/null
        cmake --build "$root/build-fuzz" --parallel "$(nproc)" --target fuzz_taf fuzz_metar fuzz_notam fuzz_workfile \
            fuzz_stations fuzz_settings
    fi
}

# The tests ./test.sh --sanitizers runs in build-asan/ (ctest arguments); the style checks need no second run.
VENTORIX_SANITIZED_TESTS=(-LE style)

# The same tree again in build-asan/, with AddressSanitizer, UBSan and warnings as errors. Unoptimised: the
# tests are short, so the compile time is what counts.
ventorix_build_sanitized() {
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DENABLE_SANITIZERS=ON \
        -DVENTORIX_WERROR=ON -DVENTORIX_BENCHES=OFF >/dev/null
    cmake --build "$root/build-asan" --parallel "$(nproc)"
}
