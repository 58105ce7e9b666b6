#!/bin/sh
# Builds the fuzz targets with clang in build-fuzz/ and runs each for SECONDS seconds (60 unless
# given), one after the other, on two jobs' worth of cores at most. Each target keeps its corpus in
# build-fuzz/corpus/<target>/, started from the project's own memories and files, so later runs
# go on from where the last stopped. A crash leaves its input in build-fuzz/findings/<target>/
# and makes the script exit 1.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Needs clang and libFuzzer: apt-get install -y clang-14 libclang-rt-14-dev
set -eu

seconds=${1:-60}
[ $# -gt 0 ] && shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
cxx=${CXX_FUZZ:-$(command -v clang++-14 || command -v clang++ || true)}
if [ -z "$cxx" ]; then
    echo "fuzz.sh: clang++ not found (apt-get install -y clang-14 libclang-rt-14-dev)" >&2
    exit 2
fi
launcher=
command -v ccache >/dev/null 2>&1 && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache

cmake -S "$root" -B "$build" -DK352_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER="$cxx" $launcher >/dev/null
cmake --build "$build" -j2 --target fuzzers

targets=$*
if [ -z "$targets" ]; then
    for f in "$build"/fuzz/fuzz_*; do
        [ -f "$f" ] && [ -x "$f" ] && targets="$targets ${f##*/}"
    done
fi
mkdir -p "$build/seeds"
"$build/fuzz/k352-fuzz-seeds" "$build/seeds"

status=0
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
# The file readers write every input to a scratch file: in memory that costs microseconds, on a
# disk milliseconds.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
for t in $targets; do
    corpus=$build/corpus/$t
    findings=$build/findings/$t
    mkdir -p "$corpus" "$findings"
    seeds=
    [ -d "$build/seeds/$t" ] && seeds=$build/seeds/$t
    echo "== $t: $seconds s"
    if "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -max_len=70000 \
           -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" $seeds \
           >"$build/$t.log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|new_units_added)|cov:' "$build/$t.log" | tail -3
    else
        status=1
        echo "$t: FOUND A FAULT, see $build/$t.log and $findings/" >&2
        grep -E 'ERROR|broken rule|SUMMARY' "$build/$t.log" | head -5 >&2
    fi
done
exit $status
