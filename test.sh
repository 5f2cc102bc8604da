#!/usr/bin/env bash
# Installs what is missing, builds in build/ and runs every test headless. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ventorix_install
ventorix_build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 60 "$@"
