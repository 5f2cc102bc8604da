#!/usr/bin/env bash
# Installs what is missing, builds in build/ and starts Ventorix. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ventorix_install
ventorix_build
exec ./build/Ventorix "$@"
