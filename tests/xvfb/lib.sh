# Helpers for driving the game in a private Xvfb, for scripts that source this file.
# They expect $work (a scratch folder) and call fail() on trouble; start_xvfb records its
# process in $xvfb_pid for the caller's cleanup.

# An X server resets whenever its last client leaves, and drops the connections that arrive
# while it does: between two runs of the game, with xdotool coming and going, that is often.
# A desktop's server does not reset while the session lives, so neither does this one, unless
# $xvfb_resets is set (to show the game rides it out).
start_xvfb() {
    local reset=-noreset
    [ -n "${xvfb_resets:-}" ] && reset=-reset
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp $reset >/dev/null 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$work/display")"
    # The game prefers a Wayland compositor; the one of the desktop running the tests is not
    # ours to use.
    unset WAYLAND_DISPLAY
}

# Waits for a visible window of the game: "board" (its 594x275 client) or "box". With
# $scale set (GDK_SCALE), sizes and pixels are in program pixels times scale.
find_window() {
    local w=$((594 * ${scale:-1})) h=$((275 * ${scale:-1}))
    for _ in $(seq 100); do
        # xdotool cannot match a Japanese name; the class finds the windows, the name is checked.
        for id in $(xdotool search --onlyvisible --class discfire 2>/dev/null); do
            # (A window found may be gone a moment later: xdotool then reports an X error.)
            [ "$(xdotool getwindowname "$id" 2>/dev/null)" = 焼き加減メーター ] || continue
            size=$(xdotool getwindowgeometry "$id" 2>/dev/null | awk '/Geometry/ {print $2}')
            if { [ "$1" = board ] && [ "$size" = "${w}x$h" ]; } ||
               { [ "$1" = box ] && [ "$size" != "${w}x$h" ]; }; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

pixel() { # file x y -> RRGGBB (with $scale, of the last screen pixel of that square)
    local k=${scale:-1}
    convert "$1" -format "%[hex:p{$(($2 * k + k - 1)),$(($3 * k + k - 1))}]" info: | tail -c 6
}

# Answers the introduction box with Return and checks the board is drawn: white, with the
# blue first sample disc.
through_intro_to_board() {
    local box board
    box=$(find_window box) || fail "no introduction box"
    xdotool mousemove --window "$box" 5 5 key Return
    board=$(find_window board) || fail "no board after answering the introduction box"
    sleep 0.3
    import -window "$board" "$work/board.png"
    [ "$(pixel "$work/board.png" 2 2)" = FFFFFF ] || fail "the board's background is not white"
    [ "$(pixel "$work/board.png" 24 34)" = 0000FF ] || fail "the first sample disc is not blue"
    echo "$board"
}

# Root mean square of a file of 32-bit float samples, as SDL's disk driver writes them.
sound_level() {
    python3 - "$1" <<'PY'
import array, math, os, sys
data = open(sys.argv[1], "rb").read() if os.path.exists(sys.argv[1]) else b""
a = array.array("f")
a.frombytes(data[: len(data) // 4 * 4])
print(f"{math.sqrt(sum(x * x for x in a) / len(a)) if a else 0.0:.4f}")
PY
}

# A sound server that accepts connections and never answers, on a unix socket at $1; its
# process id goes to server_pid. Fails when the socket does not appear.
start_stalled_sound_server() {
    python3 -c '
import socket, sys
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen(64)
held = []
while True:
    held.append(s.accept()[0])
' "$1" &
    server_pid=$!
    for _ in $(seq 50); do [ -S "$1" ] && return 0; sleep 0.1; done
    return 1
}
