# Sourced by the Wine test and benchmark: an Xvfb display and a fresh Wine prefix for the
# Windows build, and the way out. Needs WORK (an empty scratch folder) and root for localedef.

# The .exe to run: the 32-bit one, unless this kernel cannot run 32-bit x86 code at all (the
# 32-bit Wine loader will not start); then the 64-bit build of the same sources under 64-bit
# Wine, said loudly, since it is not the shipped program.
wine_pick_build() { # BUILD_I686 BUILD_X86_64
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        WIN_BUILD=$1
        export WINEARCH=win32
        WINE=wine
    else
        echo "NOTE: this kernel cannot run 32-bit x86 programs; running the 64-bit build of" \
             "the same sources ($2) under 64-bit Wine instead" >&2
        WIN_BUILD=$2
        export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
        WINE=/usr/lib/wine/wine64
    fi
    WIN_BUILD=$(realpath "$WIN_BUILD")
}

xvfb_pid=""
wine_start_display() {
    exec 3>"$WORK/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$WORK/display")"
}

# Wine takes the ANSI code page (932) from the locale.
wine_make_prefix() {
    locale -a | grep -qix 'ja_JP.utf8' || localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=${WINEDEBUG:--all}
    export WINEPREFIX="$WORK/prefix"
    WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1
    local subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    # Without a window manager a managed window waits 2 s on every hide; a crash must end the
    # program, not wait in a dialog; the fonts the game and the boxes ask for by name.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    "$WINE" reg add "$subst" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null
    "$WINE" reg add "$subst" /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null
}

wine_stop() {
    [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
}
