#!/usr/bin/env bash
# scripts/windows-deps' choice of revision against a made-up index where some pins are gone, and
# the archive read from made-up apt sources.
set -euo pipefail
deps=$(cd "$(dirname "$0")/.." && pwd)/scripts/windows-deps
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

{ printf 'Package: freetype\nVersion: 2.13.3+dfsg-1+deb13u10\nBinary: libfreetype6\n'
  printf '\nPackage: %s\nVersion: %s\n' freetype 2.13.3+dfsg-1+deb13u9 freetype 2.13.4+dfsg-1 libogg 1.3.5-3 \
    openal-soft 1:1.24.2-2 openal-soft 1.24.2-9 libsfml 2.6.2+dfsg-2; } > "$dir/Sources"

check() {  # check PIN EXPECTED-VERSION EXPECTED-NOTE
  local out err
  out=$("$deps" choose-version "$1" "$dir/Sources" 2> "$dir/err") || fail "$1: $(cat "$dir/err")"
  err=$(cat "$dir/err")
  [ "$out" = "$2" ] || fail "$1: chose '$out', not '$2'"
  [ "$err" = "$3" ] || fail "$1: said '$err', not '$3'"
}
check libogg=1.3.5-3 1.3.5-3 ""
check libsfml=2.6.2+dfsg-2 2.6.2+dfsg-2 ""
# The newest revision by Debian's ordering (u10 after u9), never another upstream nor epoch.
check freetype=2.13.3+dfsg-1+deb13u2 2.13.3+dfsg-1+deb13u10 \
  "windows-deps: freetype 2.13.3+dfsg-1+deb13u2 is gone from Debian trixie; building 2.13.3+dfsg-1+deb13u10, the newest revision of 2.13.3+dfsg"
check openal-soft=1:1.24.2-1 1:1.24.2-2 \
  "windows-deps: openal-soft 1:1.24.2-1 is gone from Debian trixie; building 1:1.24.2-2, the newest revision of 1:1.24.2"
! "$deps" choose-version libvorbis=1.3.7-3 "$dir/Sources" > /dev/null 2> "$dir/err" ||
  fail "a package missing from the index was chosen"
grep -q "libvorbis 1.3.7 (pinned: libvorbis=1.3.7-3) is not in Debian trixie's index" "$dir/err" ||
  fail "no line naming the missing package: $(cat "$dir/err")"

# The archive: the first non-security source, in either format.
mkdir "$dir/parts"
cat > "$dir/parts/debian.sources" <<'END'
Types: deb
URIs: http://security.example/debian-security
Suites: trixie-security
Components: main

# a comment
Types: deb deb-src
URIs: http://mirror.example/debian
Suites: trixie trixie-updates
Components: main
END
printf 'Dir::Etc::sourcelist "%s";\nDir::Etc::sourceparts "%s";\n' "$dir/none.list" "$dir/parts" > "$dir/apt.conf"
[ "$(APT_CONFIG=$dir/apt.conf "$deps" archive)" = http://mirror.example/debian ] ||
  fail "archive from .sources: $(APT_CONFIG=$dir/apt.conf "$deps" archive)"
rm "$dir/parts/debian.sources"
printf '# deb http://old.example/debian trixie main\ndeb [arch=amd64] http://security.example/debian-security trixie-security main\ndeb [signed-by=/k.gpg] http://list.example/debian trixie main\n' > "$dir/none.list"
[ "$(APT_CONFIG=$dir/apt.conf "$deps" archive)" = http://list.example/debian ] ||
  fail "archive from sources.list: $(APT_CONFIG=$dir/apt.conf "$deps" archive)"
echo "windows-deps: revision choice and archive address as expected"
