#!/usr/bin/env bash
# Our Linux build against our Windows build under Wine, side by side, in one run on one Xvfb:
# timer rate at each speed, start to first paint, idle CPU at speed 1 and peak memory.
#   bench/wine_bench.sh [LINUX_BUILD] [I686_BUILD] [X86_64_BUILD]
# Build first with make test-windows (it builds the Windows bench programs too).
set -euo pipefail
linux=$(realpath "${1:-build}")
here=$(dirname "$(realpath "$0")")
WORK=$(mktemp -d)
game_pid=""
source "$here/../tests/wine/wine_env.sh"
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    wine_stop
    rm -rf "$WORK"
}
trap cleanup EXIT
wine_pick_build "${2:-build-win}" "${3:-build-win64}"
wine_start_display
wine_make_prefix
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER-dummy}
hz=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Idle for 20 s at speed 1 after answering the box: CPU of the game (and of wineserver,
# which runs Wine's timers and queues) and the game's peak resident memory.
idle() { # NAME DIR COMMAND...
    local name=$1 dir=$2
    shift 2
    (cd "$dir" && exec "$@") >/dev/null 2>&1 &
    game_pid=$!
    local box=""
    for _ in $(seq 200); do
        box=$(xdotool search --onlyvisible --class discfire 2>/dev/null | head -1) && [ -n "$box" ] && break
        sleep 0.05
    done
    sleep 0.5
    xdotool mousemove --window "$box" 5 5 key Return
    sleep 3
    local server
    server=$(pgrep -n -x wineserver64 || pgrep -n -x wineserver32 || true)
    local before after sbefore=0 safter=0
    before=$(cpu "$game_pid")
    [ "$name" = wine ] && [ -n "$server" ] && sbefore=$(cpu "$server")
    sleep 20
    after=$(cpu "$game_pid")
    [ "$name" = wine ] && [ -n "$server" ] && safter=$(cpu "$server")
    awk -v t=$((after - before)) -v s=$((safter - sbefore)) -v hz="$hz" -v n="$name" \
        'BEGIN { printf "%-6s idle CPU: %.2f%% of one core (wineserver %.2f%%)\n", n, 100 * t / hz / 20, 100 * s / hz / 20 }'
    echo "$name peak RSS: $(awk '/VmHWM/ {print $2, $3}' "/proc/$game_pid/status")"
    kill "$game_pid"
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
}

echo "== Timer rate at each speed, the board painted on every tick (5 s per speed)"
echo "-- linux (our layer, SDL backend)"
"$linux/bench/tick_rate" 5
echo "-- wine ($WINEARCH)"
"$WINE" "$WIN_BUILD/tests/wine/tick_rate_win.exe" 5 2>/dev/null | tr -d '\r'

echo
echo "== Start to first paint (3 runs each; wall: launch to exit, the close included)"
for _ in 1 2 3; do
    t0=$(date +%s%N)
    line=$("$linux/bench/latency" 2>/dev/null | grep 'first present')
    echo "linux $line   wall $((($(date +%s%N) - t0) / 1000000)) ms"
done
for _ in 1 2 3; do
    t0=$(date +%s%N)
    line=$("$WINE" "$WIN_BUILD/tests/wine/latency_win.exe" 2>/dev/null | tr -d '\r')
    echo "wine  $line   wall $((($(date +%s%N) - t0) / 1000000)) ms"
done

echo
echo "== The game idle at speed 1 for 20 s"
idle linux "$linux" "$linux/discfire"
idle wine "$WIN_BUILD" "$WINE" discfire.exe
