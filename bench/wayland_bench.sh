#!/usr/bin/env bash
# The real program's numbers under a real Wayland compositor (weston on its X11 backend in
# Xvfb): start (execve) to the first presented board and click to presented verdict, then
# idle CPU at speed 1 and peak memory with music playing. Run from the build folder, so the
# tune is found and the synthesizer really loads.
#   bench/wayland_bench.sh [BUILD_DIR]
# Audio goes to SDL's dummy driver, which consumes it like a device: synthesis runs.
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
xvfb_pid=""
weston_pid=""
game_pid=""
cleanup() {
    for p in "$game_pid" "$weston_pid" "$xvfb_pid"; do
        [ -n "$p" ] && kill "$p" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "$*" >&2; exit 1; }
# shellcheck source=../tests/xvfb/lib.sh
source "$(dirname "$(realpath "$0")")/../tests/xvfb/lib.sh"
start_xvfb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=x11-backend.so --socket=bench --idle-time=0 --no-config --use-pixman \
    --width=1280 --height=1024 >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/bench" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/bench" ] || fail "weston did not start"
export WAYLAND_DISPLAY=bench SDL_AUDIODRIVER=${SDL_AUDIODRIVER-dummy}
# Keys reach weston while its X window has the X focus.
xdotool windowfocus --sync "$(xdotool search --sync --class weston | head -1)"
sleep 1  # the shell's start-up fade
echo "soundfont: $(readlink -f /usr/share/sounds/sf2/default-GM.sf2 2>/dev/null || echo none)"

echo "== Start and click latency on Wayland (5 runs; the box answered at once)"
for _ in 1 2 3 4 5; do
    # The monotonic clock just before execve, against the program's at its first board frame.
    out=$(cd "$build" && python3 -c 'import os, sys, time
print(time.clock_gettime_ns(time.CLOCK_MONOTONIC), flush=True)
os.execv(sys.argv[1], sys.argv[1:])' "$build/bench/wayland_start")
    t0=$(echo "$out" | head -1)
    t1=$(echo "$out" | awk '/first board frame at/ {print $5}')
    echo "$out" | sed -n '2,3p'
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "execve to first board frame: %7.1f ms\n", (b - a) / 1e6 }'
done

echo
echo "== The game idle at speed 1 for 20 s on Wayland, music playing"
(cd "$build" && exec "$build/discfire") 2>/dev/null &
game_pid=$!
sleep 1.5
xdotool key Return
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep 20
after=$(ticks)
awk -v t=$((after - before)) -v hz="$hz" 'BEGIN { printf "CPU: %.2f%% of one core\n", 100 * t / hz / 20 }'
grep -E 'VmHWM|VmRSS' "/proc/$game_pid/status"
import -window root "$work/desk.png"
if [ -n "${WAYLAND_SCREENSHOT:-}" ]; then cp "$work/desk.png" "$WAYLAND_SCREENSHOT"; fi
kill -TERM "$game_pid"
rc=0
wait "$game_pid" || rc=$?
game_pid=""
echo "exit code after SIGTERM: $rc"
