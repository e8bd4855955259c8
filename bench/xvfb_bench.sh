#!/usr/bin/env bash
# The real program's numbers on a real X server (Xvfb): timer rate and lateness, start-up
# and click latency, idle CPU at speed 1 and peak memory with music playing.
#   bench/xvfb_bench.sh [BUILD_DIR]
# Audio goes to SDL's dummy driver, which consumes it like a device: synthesis runs.
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "$*" >&2; exit 1; }
# shellcheck source=../tests/xvfb/lib.sh
source "$(dirname "$(realpath "$0")")/../tests/xvfb/lib.sh"
start_xvfb
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER-dummy}

echo "== Timer rate and lateness, board painted on every tick (5 s per speed)"
"$build/bench/tick_rate" 5

echo
echo "== Start-up and click latency (3 runs)"
# From the build folder, where the tune is: the synthesizer starts as in the game.
for _ in 1 2 3; do (cd "$build" && "$build/bench/latency"); done

echo
echo "== The game idle at speed 1 for 20 s, music playing"
(cd "$work" && exec "$build/discfire") 2>/dev/null &
game_pid=$!
for _ in $(seq 100); do
    box=$(xdotool search --onlyvisible --class discfire 2>/dev/null | head -1) && [ -n "$box" ] && break
    sleep 0.05
done
xdotool mousemove --window "$box" 5 5 key Return
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep 20
after=$(ticks)
awk -v t=$((after - before)) -v hz="$hz" 'BEGIN { printf "CPU: %.2f%% of one core\n", 100 * t / hz / 20 }'
grep -E 'VmHWM|VmRSS' "/proc/$game_pid/status"
