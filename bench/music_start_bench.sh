#!/usr/bin/env bash
# The real program's start with its music, on a real X server (Xvfb), timed from outside by
# bench/start_probe: execve to the first board frame (the box answered at once), the board
# after the box's answer, and SIGTERM to exit; with each installed soundfont, and with a sound
# server that accepts and never answers. Then peak memory with the tune playing for 20 s.
#   bench/music_start_bench.sh [BUILD_DIR] [RUNS]
# Run as root to time FluidR3 too: TimGM6mb is hidden in a private mount namespace so that
# the game falls back to the system's default-GM (fluid-soundfont-gm).
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-20}
work=$(mktemp -d)
xvfb_pid=""
server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$*" >&2; exit 1; }
# shellcheck source=../tests/xvfb/lib.sh
source "$(dirname "$(realpath "$0")")/../tests/xvfb/lib.sh"
start_xvfb
[ -f "$build/DISCFIRE.MID" ] || fail "no tune beside $build/discfire"
cd "$work"

timgm=/usr/share/sounds/sf2/TimGM6mb.sf2
fluid=$(readlink -f /usr/share/sounds/sf2/default-GM.sf2 || true)
# Runs a command with TimGM6mb hidden, so default-GM is loaded.
without_timgm() { unshare -m sh -c "mount --bind /dev/null $timgm && exec \"\$@\"" sh "$@"; }
can_hide=no
if [ "$(id -u)" = 0 ] && [ -f "$timgm" ] && [ "$fluid" != "$timgm" ] && [ -f "$fluid" ] &&
    without_timgm true 2>/dev/null; then
    can_hide=yes
fi

# SDL's dummy driver takes the sound as a device would: synthesis runs.
echo "== Start with the tune found, SDL's dummy audio driver, TimGM6mb ($runs runs)"
SDL_AUDIODRIVER=dummy "$build/bench/start_probe" "$build/discfire" "$runs" || echo "(a run failed: see its line)"
if [ $can_hide = yes ]; then
    echo
    echo "== The same with $fluid ($runs runs)"
    SDL_AUDIODRIVER=dummy without_timgm "$build/bench/start_probe" "$build/discfire" "$runs" || echo "(a run failed: see its line)"
fi

echo
echo "== A sound server that accepts and never answers (PulseAudio, $runs runs)"
start_stalled_sound_server "$work/stalled" || fail "the stalled server did not start"
PULSE_SERVER="unix:$work/stalled" SDL_AUDIODRIVER=pulseaudio \
    "$build/bench/start_probe" "$build/discfire" "$runs" || echo "(a run failed: see its line)"

peak_rss() { # label [wrapper...]
    local label=$1 pid box
    shift
    (export SDL_AUDIODRIVER=dummy; "$@" "$build/discfire") 2>/dev/null &
    pid=$!
    box=$(find_window box) || fail "no introduction box"
    xdotool mousemove --window "$box" 5 5 key Return
    sleep 20
    # The game may run in a child of the wrapper (unshare).
    local game
    game=$(pgrep -n -f "^$build/discfire" || echo "$pid")
    echo "$label: $(awk '/VmHWM/ {printf "%.1f MB", $2 / 1024}' "/proc/$game/status")"
    kill "$game" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
echo
echo "== Peak RSS, the tune playing for 20 s"
peak_rss TimGM6mb
[ $can_hide = yes ] && peak_rss "$(basename "$fluid")" without_timgm
exit 0
