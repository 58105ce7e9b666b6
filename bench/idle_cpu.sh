#!/bin/sh
# CPU use of the program while connected and idle: k352 on a virtual display, talking to the
# simulated meter (k352-sim, its own process) over a pseudo-terminal. Prints the share of one core
# the program used over a 20 s window after it has connected.
# Usage: bench/idle_cpu.sh [build-dir]
set -e
BUILD=${1:-build}
SIMOUT=$(mktemp)
"$BUILD/k352-sim" > "$SIMOUT" < /dev/null &
SIM=$!
sleep 1
PTY=$(head -n1 "$SIMOUT")
xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/k352" --port "$PTY" > /dev/null 2>&1 &
sleep 8
PID=$(pgrep -n -x k352)
ticks() { awk '{print $14 + $15}' "/proc/$PID/stat"; }
HZ=$(getconf CLK_TCK)
T0=$(ticks); S0=$(date +%s.%N)
sleep 20
T1=$(ticks); S1=$(date +%s.%N)
kill "$PID" "$SIM" 2>/dev/null || true
echo "$T0 $T1 $S0 $S1 $HZ" | awk '{printf "idle_cpu: %.2f %% of one core\n", 100 * ($2 - $1) / $5 / ($4 - $3)}'
rm -f "$SIMOUT"
