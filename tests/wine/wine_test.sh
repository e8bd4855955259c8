#!/usr/bin/env bash
# The Windows build: the .exe itself (a 32-bit GUI program importing only system DLLs, with
# its resources and code page 932 texts), then the program under Wine in Xvfb, looked at
# from X (pixels, keys, clicks, the close button) and from Win32 (tests/wine/probe.cpp).
#   wine_test.sh LINUX_BUILD I686_BUILD X86_64_BUILD
# Under Wine there is no MIDI device without an ALSA sequencer: the game runs silent, and no
# music notification is waited for.
set -euo pipefail

linux=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
WORK=$(mktemp -d)
out=${TEST_OUTPUT_DIR:-$linux/test-output}
mkdir -p "$out"
game_pid=""
source "$here/wine_env.sh"
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    wine_stop
    rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -s "$WORK/game-err" ] && sed "s/^/wine: /" "$WORK/game-err" | tail -20 >&2
    for f in "$WORK"/*.png; do [ -f "$f" ] && cp "$f" "$out/wine-$(basename "$f")"; done
    exit 1
}
passed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }

title=焼き加減メーター
intro="焼き加減メーター ver.6.03\n作: 焼き加減メーター制作班\n\nあなたが何倍速のCD-Rまで耐えられるかを調べる「人間ベンチマーク」です。\n上の見本を参考にして、ほどよく焼けたところでCD-Rを取り除いて下さい。\n\n準備はよいですか?"

# --- The shipped .exe, as built ------------------------------------------------------------
exe=$(realpath "$2")/discfire.exe
[ -f "$exe" ] || fail "no $exe"
head=$(i686-w64-mingw32-objdump -p "$exe")
grep -Eq '^Magic[[:space:]]+010b' <<<"$head" || fail "not a 32-bit (PE32) program"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$head" || fail "not a GUI program"
dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$head" | sort | tr '\n' ' ')
[ "$dlls" = "gdi32.dll kernel32.dll msvcrt.dll user32.dll winmm.dll " ] ||
    fail "imports other than the system DLLs: $dlls"
pass "PE32 GUI program importing $dlls"
res=$(i686-w64-mingw32-windres -i "$exe" -O rc)
for want in '^107 14 ' '^130 2 ' '^131 2 ' '^132 2 ' '^133 2 ' '^1 3 '; do
    grep -Eq "$want" <<<"$res" || fail "resource '$want' missing"
done
langs=$(grep '^LANGUAGE' <<<"$res" | sort -u)
[ "$langs" = "LANGUAGE 17, 1" ] || fail "resources not all tagged Japanese: $langs"
pass "icon 107 and bitmaps 130-133, Japanese"
LC_ALL=C grep -aqF "$(printf "%s" "$title" | iconv -t CP932)" "$exe" || fail "the title is not in code page 932"
pass "texts in code page 932"
[ "$(head -c 4 "$(dirname "$exe")/DISCFIRE.MID")" = MThd ] || fail "no DISCFIRE.MID beside the .exe"
pass "DISCFIRE.MID beside it"

# --- The program under Wine ----------------------------------------------------------------
wine_pick_build "$2" "$3"
wine_start_display
wine_make_prefix
probe() { "$WINE" "$WIN_BUILD/tests/wine/probe.exe" "$@" 2>/dev/null; }
field() { sed -n "s/^$1=//p" <<<"$2"; }

(cd "$WIN_BUILD" && exec "$WINE" discfire.exe) 2>"$WORK/game-err" &
game_pid=$!

box=$(probe '#32770' 60) || fail "no introduction box"
[ "$(field caption "$box")" = "$title" ] || fail "box caption: $(field caption "$box")"
[ "$(field text "$box")" = "$intro" ] || fail "box text: $(field text "$box")"
IFS=, read -r bl bt br bb <<<"$(field window "$box")"
import -window root -crop "$((br - bl))x$((bb - bt))+$bl+$bt" +repage "$WORK/intro.png"
dark=$(convert "$WORK/intro.png" -threshold 50% -format '%[fx:int(w*h*(1-mean))]' info:)
[ "$dark" -gt 400 ] || fail "the introduction box shows no text ($dark dark pixels)"
pass "the introduction box with its Japanese text"

xwin=$(xdotool search --onlyvisible --class discfire.exe | head -1)
xdotool mousemove --window "$xwin" 5 5 key Return
main=$(probe DISCFIRE 30) || fail "no main window after Return"
probe '#32770' 0.5 >/dev/null && fail "Return did not dismiss the introduction box"
pass "Return dismisses it"

[ "$(field caption "$main")" = "$title" ] || fail "caption: $(field caption "$main")"
IFS=, read -r wl wt wr wb <<<"$(field window "$main")"
IFS=, read -r cx cy <<<"$(field fullscreen "$main")"
[ "$wl,$wt,$((wr - wl)),$((wb - wt))" = "$(((cx - 600) / 2)),$(((cy - 300) / 2)),600,300" ] ||
    fail "window at $wl,$wt size $((wr - wl))x$((wb - wt)), full screen $cx x $cy"
pass "class DISCFIRE, caption $title, 600x300 centred in ${cx}x$cy"

# The board against the headless replay, where no text is and nothing changes in the first
# minute: sample discs, failure marks, and the flame band of whichever phase is showing.
IFS=, read -r ox oy ow oh <<<"$(field client "$main")"
"$linux/discfire-replay" --frame 100:"$WORK/phase0.png" --frame 1124:"$WORK/phase1.png" \
    --close 1200 >/dev/null
differs() { compare -metric AE "$1[$3]" "$2[$3]" null: 2>&1 || true; }
board_matches() {
    import -window root -crop "${ow}x$oh+$ox+$oy" +repage "$WORK/board.png"
    [ "$(differs "$WORK/board.png" "$WORK/phase0.png" 332x32+8+8)" = 0 ] || return 1
    [ "$(differs "$WORK/board.png" "$WORK/phase0.png" 240x24+80+245)" = 0 ] || return 1
    for phase in 0 1; do
        [ "$(differs "$WORK/board.png" "$WORK/phase$phase.png" 512x16+44+200)" = 0 ] && return 0
    done
    return 1
}
ok=""
for _ in 1 2 3; do board_matches && ok=1 && break; sleep 0.3; done
[ -n "$ok" ] || fail "board differs from the replay: samples $(differs "$WORK/board.png" \
    "$WORK/phase0.png" 332x32+8+8), marks $(differs "$WORK/board.png" "$WORK/phase0.png" \
    240x24+80+245), flames $(differs "$WORK/board.png" "$WORK/phase0.png" 512x16+44+200)/$(
    differs "$WORK/board.png" "$WORK/phase1.png" 512x16+44+200) pixels"
cp "$WORK/board.png" "$out/wine-board.png"
import -window root -crop "600x300+$wl+$wt" +repage "$out/wine-window.png"
pass "sample discs, failure marks and flames match the replay pixel for pixel"

# A click on disc 0 this early is an early verdict: the disc turns black.
pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: | tail -c 6; }
xdotool mousemove "$((ox + 56))" "$((oy + 176))" click 1
for _ in $(seq 30); do
    import -window root -crop "${ow}x$oh+$ox+$oy" +repage "$WORK/click.png"
    [ "$(pixel "$WORK/click.png" 56 186)" = 000000 ] && break
    sleep 0.1
done
[ "$(pixel "$WORK/click.png" 56 186)" = 000000 ] || fail "the click gave no verdict"
pass "a click on a disc gives it a verdict"

# The close button, as a window manager passes it on: WM_DELETE_WINDOW.
"$linux/tests/xclose" "$(xdotool search --onlyvisible --class discfire.exe | head -1)"
rc=0
timeout 30 tail --pid="$game_pid" -f /dev/null || fail "still running after the close button"
wait "$game_pid" || rc=$?
game_pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc after the close button"
pass "the close button ends it with exit code 0"
echo "$passed passed, 0 failed"
