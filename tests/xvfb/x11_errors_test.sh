#!/usr/bin/env bash
# A client message to a window already destroyed ends nothing; any other X error still does.
#   x11_errors_test.sh PROBE
set -euo pipefail
probe=$(realpath "$1")
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=lib.sh
source "$(dirname "$(realpath "$0")")/lib.sh"
start_xvfb

"$probe" send 2>"$work/err" || fail "a late client message ended the program: $(cat "$work/err")"
[ ! -s "$work/err" ] || fail "a late client message was reported: $(cat "$work/err")"
rc=0
"$probe" map 2>"$work/err" || rc=$?
[ "$rc" -eq 1 ] && grep -q BadWindow "$work/err" ||
    fail "another request's BadWindow went unreported (exit $rc): $(cat "$work/err")"
echo "a late wake-up is forgiven, other X errors are not"
