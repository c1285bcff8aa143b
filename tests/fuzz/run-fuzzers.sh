#!/bin/sh
# Runs every fuzz target for a bounded time, starting from its seed corpus, and fails when any
# of them reports a finding (crash, sanitizer report, leak, timeout or memory blow-up).
#   usage: tests/fuzz/run-fuzzers.sh <fuzz build dir> <seconds per target>
# What a run learns stays in <build>/fuzz/<target>/corpus; findings go to .../findings.
# SPDX-License-Identifier: GPL-3.0-or-later
set -u
build=$(cd "$1" && pwd)
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)

export QT_QPA_PLATFORM=offscreen
# As in the Makefile's SANITIZER_ENV: keeps LeakSanitizer's tracer off a range it misreads.
export ASAN_OPTIONS="intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$here/../lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

options_for() {
    case "$1" in
    fuzz_datagram) echo "-max_len=65507 -dict=$here/datagram.dict" ;;
    fuzz_config) echo "-max_len=16384" ;;
    esac
}

# Runs one target; its exit status is the fuzzer's.
fuzz() {
    target=$1
    work="$build/fuzz/$target"
    mkdir -p "$work/corpus" "$work/findings" "$work/runtime"
    # A private runtime directory for Qt, as every test has (see CMakeLists.txt).
    chmod 0700 "$work/runtime"
    # shellcheck disable=SC2046
    XDG_RUNTIME_DIR="$work/runtime" \
        "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=3072 \
        -print_final_stats=1 -artifact_prefix="$work/findings/" $(options_for "$target") \
        "$work/corpus" "$here/corpus/$target" >"$work/log" 2>&1
}

# The targets run side by side, a core each, and are reported one after the other.
targets="fuzz_datagram fuzz_config"
for target in $targets; do
    echo "== $target: fuzzing for $seconds s"
    fuzz "$target" &
    eval "pid_$target=$!"
done

status=0
for target in $targets; do
    eval "wait \$pid_$target"
    result=$?
    work="$build/fuzz/$target"
    grep -E '^(#[0-9]+[[:space:]]+DONE|Done [0-9]+ runs)' "$work/log"
    if [ "$result" -ne 0 ]; then
        status=1
        echo "== $target: FINDING (exit $result); the end of $work/log:"
        grep -v -e 'propagateSizeHints' -e '^QThreadStorage' "$work/log" | tail -n 120
        echo "== reproduce with: $build/tests/fuzz/$target $work/findings/<file>"
    fi
done
exit $status
