#!/usr/bin/env bash
# The shipped binary in a real X server (Xvfb), driven with xdotool: the introduction box,
# the board checked by pixels, a click, the close button; and a clear error with no display.
#   real_window_test.sh GAME XCLOSE [SCALE [GDK_SCALE]]
# With SCALE every program pixel is SCALE x SCALE screen pixels: the board, its position and
# the click are all checked in program pixels times SCALE. GDK_SCALE asks for SCALE unless
# given: one the screen cannot hold must come out as SCALE.
set -euo pipefail

game=$(realpath "$1")
xclose=$(realpath "$2")
scale=${3:-1}
export GDK_SCALE=${4:-$scale}
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/game-err" ] && sed "s/^/game: /" "$work/game-err" >&2
    for f in "$work"/*.png; do [ -f "$f" ] && cp "$f" "${TEST_OUTPUT_DIR:-/tmp}/xvfb-$(basename "$f")"; done
    exit 1
}

# No display: one line on stderr and a non-zero exit.
if env -u DISPLAY -u WAYLAND_DISPLAY "$game" 2>"$work/err" >/dev/null; then
    fail "started without a display"
fi
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "expected one line on stderr, got: $(cat "$work/err")"
grep -q "display" "$work/err" || fail "unclear message: $(cat "$work/err")"

# shellcheck source=lib.sh
source "$(dirname "$(realpath "$0")")/lib.sh"
start_xvfb

(cd "$work" && exec "$game") 2>"$work/game-err" &
game_pid=$!

box=$(find_window box) || fail "no introduction box"
import -window "$box" "$work/intro.png"
dark=$(convert "$work/intro.png" -threshold 50% -format '%[fx:int(w*h*(1-mean))]' info:)
[ "$dark" -gt 200 ] || fail "the introduction box shows no text ($dark dark pixels)"
xdotool mousemove --window "$box" 5 5 key Return

board=$(find_window board) || fail "no board after answering the box with Return"
eval "$(xdotool getwindowgeometry --shell "$board")"
# Centred in the usable area: outer 600x300 frame, 3-px borders, 19-px caption.
[ "$X" -eq $((((1280 / scale - 600) / 2 + 3) * scale)) ] &&
    [ "$Y" -eq $((((1024 / scale - 19 - 300) / 2 + 22) * scale)) ] ||
    fail "window at $X,$Y is not centred"
sleep 0.3
import -window "$board" "$work/board.png"
[ "$(pixel "$work/board.png" 24 34)" = 0000FF ] || fail "first sample disc is not blue"
[ "$(pixel "$work/board.png" 264 34)" = FF0000 ] || fail "sample disc at 600MB is not red"
[ "$(pixel "$work/board.png" 56 186)" = 0000FF ] ||
    [ "$(pixel "$work/board.png" 56 186)" = 0011FF ] || fail "disc 0 is not burning blue"
[ "$(pixel "$work/board.png" 2 2)" = FFFFFF ] || fail "background is not white"

# A click on disc 0 right after the start is early: the disc turns black.
xdotool mousemove --window "$board" $((56 * scale)) $((176 * scale)) click 1
for _ in $(seq 30); do
    import -window "$board" "$work/click.png"
    [ "$(pixel "$work/click.png" 56 186)" = 000000 ] && break
    sleep 0.1
done
[ "$(pixel "$work/click.png" 56 186)" = 000000 ] || fail "the click gave no verdict"

"$xclose" "$board"
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
rc=0
wait "$game_pid" || rc=$?
game_pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc after the close button"
# SIGINT during the introduction and SIGTERM during the game close the program cleanly.
# (Job control on: a script's background jobs would otherwise start with SIGINT ignored.)
ended_by() { # signal, after: box|board
    set -m
    (cd "$work" && exec "$game") 2>/dev/null &
    game_pid=$!
    set +m
    local id
    id=$(find_window box) || fail "no introduction box"
    if [ "$2" = board ]; then
        xdotool mousemove --window "$id" 5 5 key Return
        find_window board >/dev/null || fail "no board"
    fi
    kill -"$1" "$game_pid"
    for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
    rc=0
    wait "$game_pid" || rc=$?
    game_pid=""
    [ "$rc" -eq 0 ] || fail "exit code $rc after SIG$1 at the $2"
}
if [ "$scale" -eq 1 ]; then
    ended_by INT box
    ended_by TERM board
fi

# Starts and closes back to back on a server that resets whenever the game was its last
# client: every one exits 0 (bench/start_close_loop.sh does this a hundred times).
if [ "$scale" -eq 1 ]; then
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_resets=1 start_xvfb
    for cycle in 1 2 3 4; do
        (cd "$work" && exec "$game") 2>"$work/game-err" &
        game_pid=$!
        board=$(through_intro_to_board)
        "$xclose" "$board"
        for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
        rc=0
        wait "$game_pid" || rc=$?
        game_pid=""
        [ "$rc" -eq 0 ] || fail "exit code $rc after start and close number $cycle"
    done
fi

echo "real window at scale $scale: intro box, board, click and close all behaved"
