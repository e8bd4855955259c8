#!/usr/bin/env bash
# A display that drops the game's first connection, as an X server resetting at that moment
# does: the game tries again and comes up. One that drops every connection: one line on
# stderr and exit 1, well within a second.
#   dropped_connection_test.sh GAME XCLOSE
set -euo pipefail
game=$(realpath "$1")
xclose=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
xvfb_pid=""
proxy_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null && wait "$proxy_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/game-err" ] && sed "s/^/game: /" "$work/game-err" >&2
    exit 1
}
# shellcheck source=lib.sh
source "$here/lib.sh"
start_xvfb
real=${DISPLAY#:}

# Serves a display that drops the first $1 connections (-1: all); sets $dropping.
start_dropping_display() {
    [ -n "$proxy_pid" ] && { kill "$proxy_pid"; wait "$proxy_pid" 2>/dev/null || true; }
    rm -f "$work/dropping"*
    python3 "$here/dropping_display.py" "$real" "$1" "$work/dropping" &
    proxy_pid=$!
    for _ in $(seq 100); do [ -s "$work/dropping" ] && break; sleep 0.05; done
    [ -s "$work/dropping" ] || fail "the dropping display did not start"
    dropping=":$(cat "$work/dropping")"
}

start_dropping_display 1
(cd "$work" && DISPLAY=$dropping exec "$game") 2>"$work/game-err" &
game_pid=$!
board=$(through_intro_to_board)
"$xclose" "$board"
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
rc=0
wait "$game_pid" || rc=$?
game_pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc after a dropped first connection"

start_dropping_display -1
start=$(date +%s%N)
rc=0
DISPLAY=$dropping "$game" 2>"$work/game-err" >/dev/null || rc=$?
ms=$((($(date +%s%N) - start) / 1000000))
tries=$(cat "$work/dropping.count")
[ "$rc" -eq 1 ] || fail "exit code $rc on a display that drops every connection"
[ "$(wc -l <"$work/game-err")" -eq 1 ] && grep -q "display" "$work/game-err" ||
    fail "expected one line about the display"
[ "$tries" -ge 3 ] || fail "gave up after $tries connections"
[ "$ms" -lt 1000 ] || fail "took $ms ms to give up"
echo "a dropped connection is tried again ($tries tries, $ms ms, when every one is dropped)"
