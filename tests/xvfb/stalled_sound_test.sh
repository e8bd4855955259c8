#!/usr/bin/env bash
# The shipped binary with a sound server that accepts and never answers (PulseAudio through
# SDL's pulseaudio driver): the board still comes up as soon as the box is answered, and
# the game exits 0 at once, by SIGTERM and by its close button, while the device hangs.
#   stalled_sound_test.sh GAME XCLOSE
set -euo pipefail

game=$(realpath "$1")
xclose=$(realpath "$2")
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
server_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null || true
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/game-err" ] && sed "s/^/game: /" "$work/game-err" >&2
    exit 1
}
ms() { echo $(($(date +%s%N) / 1000000)); }

# shellcheck source=lib.sh
source "$(dirname "$(realpath "$0")")/lib.sh"
start_xvfb

start_stalled_sound_server "$work/stalled" || fail "the stalled server did not start"
export PULSE_SERVER="unix:$work/stalled" SDL_AUDIODRIVER=pulseaudio

# Bounds far above the goals (bench/music_start_bench.sh measures those) and far below the
# half minute the game once waited for this server.
for ending in sigterm close; do
    (cd "$work" && exec "$game") 2>"$work/game-err" &
    game_pid=$!
    box=$(find_window box) || fail "no introduction box"
    answered=$(ms)
    xdotool mousemove --window "$box" 5 5 key Return
    board=$(find_window board) || fail "no board after answering the box"
    waited=$(($(ms) - answered))
    [ "$waited" -lt 5000 ] || fail "the board came ${waited} ms after the answer"
    asked=$(ms)
    if [ $ending = sigterm ]; then kill -TERM "$game_pid"; else "$xclose" "$board"; fi
    for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$game_pid" 2>/dev/null && fail "still running 5 s after $ending"
    status=0
    wait "$game_pid" || status=$?
    game_pid=""
    [ "$status" -eq 0 ] || fail "exit code $status after $ending"
    echo "$ending: board ${waited} ms after the answer, exit 0 in $(($(ms) - asked)) ms"
done
