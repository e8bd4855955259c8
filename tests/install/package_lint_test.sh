#!/usr/bin/env bash
# The Debian package as Debian expects it: lintian finds no error, no warning and no missing
# hardening in it (its other notes are printed), and every library the packaged program
# loads belongs to a package that it declares or that a declared package depends on, so an
# `apt install` of it on a minimal system brings all it needs.
#
# Usage: package_lint_test.sh BUILD_DIR
set -euo pipefail

build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(echo "$work"/pkg/discfire_*.deb)
[ -f "$deb" ] || fail "cpack made no package"

# lintian refuses nothing as root but says so; that line is no finding.
lintian --display-info --pedantic --fail-on none "$deb" 2>&1 |
    grep -v 'running with root privileges' >"$work/lintian.log" || true
# Hardening is only a note to lintian; the shipped program must have it all the same.
if grep -q '^[EW]: \|hardening-no-' "$work/lintian.log"; then
    cat "$work/lintian.log" >&2
    fail "lintian found errors, warnings or missing hardening"
fi
notes=$(grep -c '^[IPX]: ' "$work/lintian.log" || true)
[ "$notes" -eq 0 ] || sed 's/^/lintian note: /' "$work/lintian.log"

# What the package declares, and everything that brings along on this system: installed
# packages only, an alternative or a virtual package standing for what provides it here.
dpkg-deb -x "$deb" "$work/root"
declared=$(for f in Depends Pre-Depends; do dpkg-deb -f "$deb" "$f"; done | paste -sd,)
python3 - "$declared" >"$work/brought" <<'PY'
import re, subprocess, sys
rows = subprocess.run(["dpkg-query", "-W", "-f=${Package}\t${Status}\t${Provides}\t"
                       "${Depends}, ${Pre-Depends}\n"], capture_output=True, text=True).stdout
installed, depends, providers = set(), {}, {}
for row in rows.splitlines():
    name, status, provides, deps = row.split("\t")
    if not status.endswith(" installed"):
        continue
    installed.add(name)
    depends[name] = deps
    for p in provides.split(","):
        providers.setdefault(re.sub(r"[ (].*", "", p.strip()), set()).add(name)
def names(field):  # every package an alternative of the field may stand for
    for alt in re.split(r"[,|]", field):
        alt = re.sub(r"\(.*?\)|\[.*?\]|:\S+", "", alt).strip()
        if alt:
            yield from ({alt} & installed) | providers.get(alt, set())
todo, seen = list(names(sys.argv[1])), set()
while todo:
    p = todo.pop()
    if p not in seen:
        seen.add(p)
        todo.extend(names(depends.get(p, "")))
print("\n".join(sorted(seen)))
PY

# Each group of alternatives it declares, recommendations too, names a package Debian has.
for f in Depends Recommends; do dpkg-deb -f "$deb" "$f"; done | tr ',' '\n' | while read -r group; do
    [ -n "$group" ] || continue
    known=""
    for alt in $(sed 's/([^)]*)//g; s/|/ /g' <<<"$group"); do
        apt-cache show "${alt%%:*}" >/dev/null 2>&1 && known=1
    done
    [ -n "$known" ] || fail "Debian has no package for: $group"
done

# Each library the program loads (as the dynamic loader finds them, all the way down).
game=$work/root/usr/games/discfire
[ -x "$game" ] || fail "no program in /usr/games"
ldd "$game" >"$work/ldd" || fail "ldd failed: $(cat "$work/ldd")"
grep -q 'not found' "$work/ldd" && fail "libraries not found: $(grep 'not found' "$work/ldd")"
missing=()
checked=0
while read -r lib; do
    owner=$(dpkg -S "$(realpath "$lib")" 2>/dev/null || dpkg -S "$lib" 2>/dev/null) ||
        fail "no package owns $lib"
    owner=${owner%%:*}
    checked=$((checked + 1))
    grep -qx "$owner" "$work/brought" || missing+=("$lib ($owner)")
done < <(awk '/=> \// {print $3}' "$work/ldd")
[ ${#missing[@]} -eq 0 ] || fail "not brought by the package's dependencies: ${missing[*]}"
echo "package: lintian found no errors or warnings ($notes notes); the $checked libraries" \
    "the program loads all come with its declared dependencies"
