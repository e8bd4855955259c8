#!/usr/bin/env bash
# Starts and closes the real program many times in one Xvfb, driven as the real-window test
# drives it: xdotool finds the introduction box and presses Return, the board appears, then
# the window is closed by its close button (a WM_DELETE_WINDOW message), by SIGTERM at the
# board, or by SIGTERM at the box. Every run must exit 0; the failures are listed.
# Two rounds of RUNS: on the tests' server, then on one that resets whenever its last client
# leaves (and drops the connections that arrive meanwhile).
#   bench/start_close_loop.sh [BUILD_DIR] [RUNS]
# Audio is left as the tests leave it; set SDL_AUDIODRIVER (e.g. dummy) to open a device.
set -uo pipefail
build=$(realpath "${1:-build}")
runs=${2:-100}
game="$build/discfire"
xclose="$build/tests/xclose"
[ -x "$game" ] && [ -x "$xclose" ] || { echo "build discfire and xclose first" >&2; exit 2; }
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$*" >&2; exit 2; }
# shellcheck source=../tests/xvfb/lib.sh
source "$(dirname "$(realpath "$0")")/../tests/xvfb/lib.sh"

round() { # label
    local ok=0 i how step box board rc start
    local failed=()
    local -A kinds=()
    start=$(date +%s%N)
    start_xvfb
    for i in $(seq "$runs"); do
        case $((i % 5)) in
        3) how=term-board ;;
        4) how=term-box ;;
        *) how=close ;;
        esac
        set -m  # SIGTERM must reach the game, not a job with signals ignored
        (cd "$work" && exec "$game") 2>"$work/err" >/dev/null &
        game_pid=$!
        set +m
        step=""
        if ! box=$(find_window box); then
            step="no box"
        elif [ "$how" = term-box ]; then
            kill -TERM "$game_pid"
        else
            xdotool mousemove --window "$box" 5 5 key Return
            if ! board=$(find_window board); then
                step="no board"
            elif [ "$how" = term-board ]; then
                kill -TERM "$game_pid"
            else
                "$xclose" "$board" || step="xclose failed"
            fi
        fi
        [ -n "$step" ] && kill -KILL "$game_pid" 2>/dev/null
        for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
        kill -0 "$game_pid" 2>/dev/null && { step="${step:-still running}"; kill -KILL "$game_pid"; }
        rc=0
        wait "$game_pid" || rc=$?
        game_pid=""
        if [ -z "$step" ] && [ "$rc" -eq 0 ]; then
            ok=$((ok + 1))
        else
            failed+=("run $i ($how): ${step:-exit $rc}: $(head -c 300 "$work/err" | tr '\n' ' ')")
        fi
        kinds[$how]=$((${kinds[$how]:-0} + 1))
    done
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    echo "== $1: $ok of $runs exited 0 ($(( ($(date +%s%N) - start) / 1000000000 )) s; closed by the" \
        "close button ${kinds[close]:-0}, by SIGTERM at the board ${kinds[term-board]:-0}," \
        "at the box ${kinds[term-box]:-0})"
    for f in "${failed[@]}"; do echo "  $f"; done
    [ "$ok" -eq "$runs" ]
}

all=0
round "the tests' Xvfb" || all=1
xvfb_resets=1 round "an Xvfb that resets when its last client leaves" || all=1
exit $all
