#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for a bounded time, one after the other:
#   fuzz.sh BUILD_DIR SECONDS [NAME...]
# Each starts from its corpus in fuzz/corpus/<name> (never changed here) and keeps what it
# finds in BUILD_DIR/fuzz-corpus/<name>; an input that crashes or hangs a fuzzer is saved in
# BUILD_DIR/fuzz-findings/<name>/ and makes the script fail. The time-out for one input is
# generous: on a busy machine a fuzzer may wait for the processor longer than an input takes.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=$2
shift 2
names=("$@")
if [[ ${#names[@]} -eq 0 ]]; then
    for corpus in "$here"/fuzz/corpus/*/; do
        names+=("$(basename "$corpus")")
    done
fi

failed=()
for name in "${names[@]}"; do
    work="$build/fuzz-corpus/$name"
    findings="$build/fuzz-findings/$name"
    mkdir -p "$work" "$findings"
    echo "fuzz: $name for ${seconds}s"
    if ! "$build/bin/fuzz-$name" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" \
        "$work" "$here/fuzz/corpus/$name" >"$build/fuzz-$name.log" 2>&1; then
        failed+=("$name")
        tail -40 "$build/fuzz-$name.log"
    fi
    grep -E '^(stat::number_of_executed_units|stat::new_units_added)' "$build/fuzz-$name.log" |
        sed "s/^/fuzz: $name: /" || true
done
if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzz: findings in ${failed[*]} (see $build/fuzz-findings/)" >&2
    exit 1
fi
echo "fuzz: no findings"
