#!/bin/sh
# CPU use of `k352-cli monitor` sampling at 0.1 s against the simulated meter (k352-sim, its own
# process) on a pseudo-terminal, over a run of 60 s (or the seconds given): the process's user and
# system time from /proc at its end, as a share of one core, and what it wrote.
# Usage: bench/monitor_cpu.sh [build-dir] [seconds]
set -e
BUILD=${1:-build}
SECONDS_RUN=${2:-60}
WORK=$(mktemp -d)
"$BUILD/k352-sim" > "$WORK/sim.out" < /dev/null &
SIM=$!
sleep 1
PTY=$(head -n1 "$WORK/sim.out")
"$BUILD/k352-cli" --port "$PTY" monitor --out "$WORK/out" --interval 0.1 --period 60 \
    --duration "$SECONDS_RUN" > "$WORK/periods.out" 2> "$WORK/err.out" &
CLI=$!
HZ=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$CLI/stat" 2>/dev/null || true; }
S0=$(date +%s.%N)
# The start (the search for the meter, the handshake's waits) is counted apart from the running:
# a baseline 10 s in, then the counters read until just before the process ends.
sleep 10
B=$(ticks); B=${B:-0}; SB=$(date +%s.%N)
TICKS=$B; S1=$SB
while kill -0 "$CLI" 2>/dev/null; do
    T=$(ticks)
    if [ -n "$T" ]; then TICKS=$T; S1=$(date +%s.%N); fi
    sleep 0.5
done
wait "$CLI" || echo "monitor_cpu: k352-cli exited with $?"
kill "$SIM" 2>/dev/null || true
SAMPLES=$(cat "$WORK"/out/*.samples.csv | grep -vc '^time,' || true)
echo "$B $TICKS $HZ $S0 $SB $S1" | awk '{
    printf "monitor_cpu: %.2f %% of one core while monitoring (%.1f s after the first 10 s)\n", 100 * ($2 - $1) / $3 / ($6 - $5), $6 - $5
    printf "monitor_cpu: %.2f %% over the whole run of %.1f s, start included\n", 100 * $2 / $3 / ($6 - $4), $6 - $4 }'
echo "monitor_cpu: $SAMPLES samples, $(wc -l < "$WORK/periods.out") period lines, $(du -k "$WORK/out" | cut -f1) KiB written"
rm -rf "$WORK"
