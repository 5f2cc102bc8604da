#!/usr/bin/env bash
# Installs what is missing, builds in build/ and runs every test headless. Exits non-zero on any failure.
# With --sanitizers (or VENTORIX_SANITIZERS=1), as .ci/run does, it then builds build-asan/ with AddressSanitizer,
# UBSan and warnings as errors and runs the tests there too, so the fuzz-corpus replays check every bad read.
# Other arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")"

sanitizers=${VENTORIX_SANITIZERS:-0}
ctest_arguments=()
for argument in "$@"; do
    case $argument in
        --sanitizers) sanitizers=1 ;;
        *) ctest_arguments+=("$argument") ;;
    esac
done

source tools/setup.sh
ventorix_install
ventorix_build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 60 "${ctest_arguments[@]}"

if [ "$sanitizers" = 1 ]; then
    ventorix_build_sanitized
    # A finding fails its test: UBSan stops at the first one as ASan and LeakSanitizer do.
    export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build-asan --output-on-failure "${VENTORIX_SANITIZED_TESTS[@]}" "${ctest_arguments[@]}"
fi
