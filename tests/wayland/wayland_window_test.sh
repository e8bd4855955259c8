#!/usr/bin/env bash
# The shipped binary under a real Wayland compositor: weston on its X11 backend in Xvfb,
# which gives it a seat that xdotool types into. The introduction box with text, Return, the
# board's pixels, a click's verdict, the frame's close button and SIGINT/SIGTERM; then the
# choice of backend: a compositor without a seat, a WAYLAND_DISPLAY naming no socket, none.
#   wayland_window_test.sh GAME REPLAY
set -euo pipefail

game=$(realpath "$1")
replay=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
xvfb_pid=""
weston_pid=""
headless_pid=""
game_pid=""
cleanup() {
    for p in "$game_pid" "$weston_pid" "$headless_pid" "$xvfb_pid"; do
        [ -n "$p" ] && kill "$p" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/game-err" ] && sed "s/^/game: /" "$work/game-err" | tail -40 >&2
    for f in "$work"/*.png; do
        [ -f "$f" ] && cp "$f" "${TEST_OUTPUT_DIR:-/tmp}/wayland-$(basename "$f")"
    done
    exit 1
}

# shellcheck source=../xvfb/lib.sh
source "$here/../xvfb/lib.sh"
start_xvfb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export SDL_AUDIODRIVER=dummy

# start_weston NAME BACKEND [OPTIONS...]: a compositor on socket NAME; its pid on stdout.
start_weston() {
    local name=$1 backend=$2
    shift 2
    weston --backend="$backend" --socket="$name" --idle-time=0 --no-config --use-pixman "$@" \
        >"$work/weston-$name.log" 2>&1 &
    local pid=$!
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$name" ] && break; sleep 0.1; done
    [ -S "$XDG_RUNTIME_DIR/$name" ] || fail "weston ($backend) did not start: $(cat "$work/weston-$name.log")"
    echo "$pid"
}
weston_pid=$(start_weston desk x11-backend.so --width=1280 --height=1024)
# Keys reach weston while its X window has the X focus, given once: weston's X11 backend can
# lose a key that comes hard on the heels of a change of focus.
xdotool windowfocus --sync "$(xdotool search --sync --class weston | head -1)"
press_return() { xdotool key Return; }
"$replay" --frame 100:"$work/ref.png" --close 200 >/dev/null
convert "$work/ref.png" -scale 200% "$work/ref2.png"

shot() { import -window root "$work/$1.png"; }

# Polls screenshots until the box or the board shows; prints what locate.py found.
wait_for() { # box|board
    for _ in $(seq 60); do
        shot "$1"
        if [ "$1" = box ]; then
            python3 "$here/locate.py" box "$work/box.png" && return 0
        else
            python3 "$here/locate.py" board "$work/board.png" "$work/ref${scale:-}.png" &&
                return 0
        fi
        sleep 0.2
    done
    return 1
}

start_game() {
    set -m  # else a script's background job starts with SIGINT ignored
    (cd "$work" && WAYLAND_DISPLAY=desk exec "$game") 2>>"$work/game-err" &
    game_pid=$!
    set +m
}

wait_exit() { # what ended it
    for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$game_pid" 2>/dev/null && fail "still running 5 s after $1"
    local rc=0
    wait "$game_pid" || rc=$?
    game_pid=""
    [ "$rc" -eq 0 ] || fail "exit code $rc after $1"
}

# With both a compositor and an X display, the game takes Wayland: no X window of its own.
start_game
read -r bx by bw bh text < <(wait_for box) || fail "no introduction box"
[ "$text" -gt 200 ] || fail "the introduction box shows no text ($text dark pixels)"
[ -z "$(xdotool search --class discfire 2>/dev/null)" ] || fail "the game made an X window"
press_return

read -r ox oy < <(wait_for board) || fail "no board after answering the box with Return"
pixel_at() { # x y, in the board's client pixels
    convert "$work/board.png" -format "%[hex:p{$((ox + $1)),$((oy + $2))}]" info: | tail -c 6
}
[ "$(pixel_at 2 2)" = FFFFFF ] || fail "background is not white"
[ "$(pixel_at 24 34)" = 0000FF ] || fail "first sample disc is not blue"
[ "$(pixel_at 264 34)" = FF0000 ] || fail "sample disc at 600MB is not red"
# A few ticks may have passed by the time a screenshot is taken: blue turning towards cyan.
case "$(pixel_at 56 186)" in 00[0-4]?FF) ;; *) fail "disc 0 is not burning blue" ;; esac

# A click on disc 0 right after the start is early: the disc turns black.
xdotool mousemove $((ox + 56)) $((oy + 176)) click 1
for _ in $(seq 30); do
    shot board
    [ "$(pixel_at 56 186)" = 000000 ] && break
    sleep 0.1
done
[ "$(pixel_at 56 186)" = 000000 ] || fail "the click gave no verdict"

# The frame's close button: the last of the caption's buttons, at its right end.
xdotool mousemove $((ox + 594 - 12)) $((oy - 12)) click 1
wait_exit "the close button"

# SIGINT during the introduction and SIGTERM during the game close the program cleanly.
start_game
read -r bx by bw bh text < <(wait_for box) || fail "no introduction box"
kill -INT "$game_pid"
wait_exit "SIGINT at the box"
# GDK_SCALE=8 on this 1280x1024 output: 2 is the most that leaves the program a 640x480
# screen, so the board comes up at 2 (found by the sample row at twice its size).
export GDK_SCALE=8 scale=2
start_game
read -r bx by bw bh text < <(wait_for box) || fail "no introduction box"
press_return
wait_for board >/dev/null || fail "no board at scale 2 with GDK_SCALE=8"
kill -TERM "$game_pid"
wait_exit "SIGTERM at the board"
unset GDK_SCALE scale

# refuses WHAT ENV...: the game exits 1 at once with one line on stderr, without a crash.
refuses() {
    local what=$1 rc=0
    shift
    env "$@" timeout 10 "$game" 2>"$work/err" >/dev/null || rc=$?
    [ "$rc" -eq 1 ] || fail "$what: exit code $rc, expected 1 ($(cat "$work/err"))"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$what: expected one line, got: $(cat "$work/err")"
}
# falls_back WHAT ENV...: the game comes up on X11 instead (its box is an X window).
falls_back() {
    local what=$1
    shift
    (cd "$work" && exec env "$@" "$game") 2>"$work/game-err" &
    game_pid=$!
    find_window box >/dev/null || fail "$what: no X11 fallback"
    kill -TERM "$game_pid"
    wait_exit "SIGTERM in the X11 fallback ($what)"
}

# A compositor without an input seat cannot be played on.
headless_pid=$(start_weston seatless headless-backend.so)
refuses "a seatless compositor" -u DISPLAY WAYLAND_DISPLAY=seatless
falls_back "a seatless compositor" WAYLAND_DISPLAY=seatless
# WAYLAND_DISPLAY naming no socket.
refuses "no compositor" -u DISPLAY WAYLAND_DISPLAY=nothing-here
falls_back "no compositor" WAYLAND_DISPLAY=nothing-here
# A socket whose compositor accepts the connection and never answers.
python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen(4)
held = []
while True:
    held.append(s.accept()[0])' "$XDG_RUNTIME_DIR/hung" &
hung_pid=$!
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/hung" ] && break; sleep 0.1; done
refuses "a compositor that never answers" -u DISPLAY WAYLAND_DISPLAY=hung
kill "$hung_pid"
# Neither display: no default socket either.
refuses "no display" -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work"
grep -q "display" "$work/err" || fail "unclear message: $(cat "$work/err")"

echo "wayland: intro box, board, click, close, signals and the fallbacks all behaved"
