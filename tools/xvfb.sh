# Sourced by scripts that need a private X server: StartXvfb starts Xvfb on a free display,
# exports DISPLAY and sets xvfb_pid; the caller's EXIT trap kills it.
#   StartXvfb WORK_DIR [GEOMETRY]
StartXvfb() {
    local work=$1 geometry=${2:-1280x1024x24}
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(cat "$work/display")"
}
