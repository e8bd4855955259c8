#!/usr/bin/env bash
# The game as a user gets it: installed into a prefix by `cmake --install`, or into the
# system from the Debian package. Checks the installed files, the desktop entry, the icons
# and the AppStream file, then starts the installed game from another folder under Xvfb,
# answers the introduction box and hears its music on the board: the tune was found in the
# installation. With the tune taken away (prefix only), the same run is silent; a copy of
# the installed program alone (package only) finds the tune by the data folder's configured
# absolute path.
#
# Usage: installed_game_test.sh prefix|deb BUILD_DIR XCLOSE DATA_DIR
#   DATA_DIR: the absolute data folder the build was configured with
set -euo pipefail

mode=$1
build=$(realpath "$2")
xclose=$(realpath "$3")
data_dir=$4
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
installed=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$installed" ] && dpkg -r discfire >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/game-err" ] && sed "s/^/game: /" "$work/game-err" >&2
    exit 1
}
# shellcheck source=../xvfb/lib.sh
source "$here/../xvfb/lib.sh"

case $mode in
prefix)
    cmake --install "$build" --prefix "$work/prefix" >/dev/null
    root=$work/prefix
    files=$(cd "$root" && find . -type f | sed 's|^\./||' | sort)
    game=$root/games/discfire
    ;;
deb)
    [ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; fail "cpack failed"; }
    deb=$(echo "$work"/pkg/discfire_*.deb)
    [ -f "$deb" ] || fail "cpack made no package"
    depends=$(dpkg-deb -f "$deb" Depends)
    for d in fonts-ipafont-gothic timgm6mb-soundfont libsdl2-2.0-0 libfluidsynth3 \
             libfreetype6 libfontconfig1 libc6; do
        grep -q "\(^\|, \)$d\( \|,\|$\)" <<<"$depends" || fail "Depends lacks $d: $depends"
    done
    installed=1
    dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -i failed"; }
    root=/usr
    files=$(dpkg -L discfire | while read -r f; do [ -f "$f" ] && echo "${f#/usr/}"; done | sort)
    # A user's PATH, as Debian's /etc/profile sets it, finds the launcher's Exec.
    game=$(PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games command -v discfire) ||
        fail "discfire is not on a user's PATH"
    [ "$game" = /usr/games/discfire ] || fail "discfire on the PATH is $game"
    man_page=$(man -w 6 discfire 2>&1) || fail "man 6 discfire: $man_page"
    [ "$man_page" = /usr/share/man/man6/discfire.6.gz ] || fail "man 6 discfire finds $man_page"
    ;;
*)
    echo "usage: $0 prefix|deb BUILD_DIR XCLOSE DATA_DIR" >&2
    exit 2
    ;;
esac

# Exactly these files, wherever the installation is.
desktop=$(grep '^share/applications/.*\.desktop$' <<<"$files") || fail "no desktop entry"
metainfo=$(grep '^share/metainfo/.*\.metainfo\.xml$' <<<"$files") || fail "no AppStream file"
expected=$(printf '%s\n' games/discfire share/games/discfire/DISCFIRE.MID "$desktop" "$metainfo" \
    share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/discfire.png \
    share/man/man6/discfire.6.gz share/doc/discfire/{copyright,changelog.gz} | sort)
[ "$files" = "$expected" ] || fail "installed files differ:$(diff <(echo "$expected") <(echo "$files"))"

# The desktop entry and the AppStream file pass their validators and agree on names.
out=$(desktop-file-validate "$root/$desktop" 2>&1) && [ -z "$out" ] ||
    fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$root/$metainfo" >"$work/as.log" 2>&1 ||
    fail "appstreamcli: $(cat "$work/as.log")"
for line in Name=焼き加減メーター Exec=discfire Icon=discfire Type=Application; do
    grep -qx "$line" "$root/$desktop" || fail "the desktop entry has no $line"
done
grep -q '^Categories=\(.*;\)\?Game;' "$root/$desktop" || fail "the desktop entry is not in Game"
grep -q '^Comment=..' "$root/$desktop" || fail "the desktop entry has no Comment"
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$root/$metainfo" ||
    fail "the AppStream file does not launch $(basename "$desktop")"

# The manual page reads without a warning from the formatter.
out=$(MANWIDTH=80 man --warnings -l "$root/share/man/man6/discfire.6.gz" 2>&1 >/dev/null) &&
    [ -z "$out" ] || fail "the manual page: $out"

# Icons: transparent corners, the white hole in the middle, and every art pixel a square
# block: the 256 px icon is the 32 px one at 8x, the 48 px one the 16 px art at 3x.
icons=$root/share/icons/hicolor
for s in 16 32 48 256; do
    icon=$icons/${s}x$s/apps/discfire.png
    [ "$(identify -format '%wx%h' "$icon")" = "${s}x$s" ] || fail "$icon is not $s px"
    [ "$(convert "$icon" -format '%[fx:p{0,0}.a]' info:)" = 0 ] || fail "$icon has a solid corner"
    [ "$(pixel "$icon" $((s / 2)) $((s / 2)))" = FFFFFF ] || fail "$icon has no white hole"
done
same_after_sampling() { # big small -> true when big, sampled down to small's size, equals it
    convert "$1" -sample "$(identify -format '%wx%h' "$2")" "$work/sampled.png"
    compare -metric AE "$work/sampled.png" "$2" null: 2>/dev/null
}
same_after_sampling "$icons/256x256/apps/discfire.png" "$icons/32x32/apps/discfire.png" ||
    fail "the 256 px icon is not the 32 px art scaled by 8"
same_after_sampling "$icons/48x48/apps/discfire.png" "$icons/16x16/apps/discfire.png" ||
    fail "the 48 px icon is not the 16 px art scaled by 3"

# The installed game, started from a folder of its own, through the box to the board; its
# music goes to a file through SDL's disk driver.
start_xvfb
mkdir "$work/elsewhere"
play() { # sound file -> the music's level
    (cd "$work/elsewhere" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$1" exec "$game") \
        2>"$work/game-err" &
    game_pid=$!
    local board rc=0
    board=$(through_intro_to_board) || exit 1
    sleep 1.5
    "$xclose" "$board"
    for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
    wait "$game_pid" || rc=$?
    game_pid=""
    [ "$rc" -eq 0 ] || fail "exit code $rc after the close button"
    sound_level "$1"
}
heard=$(play "$work/sound.raw")
awk -v l="$heard" 'BEGIN { exit !(l > 0.01) }' || fail "no music (level $heard)"

if [ "$mode" = prefix ]; then
    mv "$root/share/games/discfire/DISCFIRE.MID" "$work/DISCFIRE.MID.away"
    if [ -e "$data_dir/DISCFIRE.MID" ]; then
        # An installation at the configured place (the developer's own) would be heard.
        heard="$heard; not tried without the tune, since $data_dir/DISCFIRE.MID is installed"
    else
        level=$(play "$work/silence.raw")
        awk -v l="$level" 'BEGIN { exit !(l < 0.0001) }' ||
            fail "music without the tune (level $level)"
        heard="$heard, $level without the tune"
    fi
fi

if [ "$mode" = deb ]; then
    if [ "$data_dir" = /usr/share/games/discfire ]; then
        # The program alone, copied where no data folder is beside it.
        mkdir "$work/copied"
        cp "$game" "$work/copied/discfire"
        game=$work/copied/discfire
        level=$(play "$work/copied.raw")
        awk -v l="$level" 'BEGIN { exit !(l > 0.01) }' ||
            fail "a copy of the program found no tune in $data_dir (level $level)"
        heard="$heard, $level from a copy of the program"
    else
        heard="$heard; a copy of the program not tried: the build is configured for $data_dir"
    fi
    dpkg -r discfire >/dev/null 2>&1 || fail "dpkg -r failed"
    installed=""
    [ ! -e /usr/games/discfire ] || fail "the game is still there after dpkg -r"
fi
echo "installed ($mode): files, desktop entry, icons and AppStream file checked; the game ran from elsewhere, music level $heard"
