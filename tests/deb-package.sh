#!/usr/bin/env bash
# The Debian package: files, dependencies, lintian; installed (as root, like CI), played by the
# user nobody through /usr/games/fowlshot, purged with nothing left outside that user's folder.
set -euo pipefail
build=$1 source=$2
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing the package needs root"; exit 77; }
work=$(mktemp -d) && chmod 755 "$work" && trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
retry() { for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done; return 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log" || { cat "$work/cpack.log"; fail cpack; }
deb=$(ls "$work"/fowlshot_*_amd64.deb)
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's,^\.,,' > "$work/files"
for f in /usr/games/fowlshot /usr/lib/games/fowlshot/fowlshot /usr/share/applications/fowlshot.desktop \
  /usr/share/icons/hicolor/128x128/apps/fowlshot.png $(cd "$source/assets" && ls -d sprites/* sounds/* | sed 's,^,/usr/share/games/fowlshot/,'); do
  grep -qx "$f" "$work/files" || fail "$f is not in the package"
done
! grep -q '\.ttf$' "$work/files" || fail "the package carries a font of its own"
# Every library the program needs, and the launcher's font, are in declared packages.
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{print $1}' > "$work/depends"
font=$(sed -n 's/^font=//p' "$work/root/usr/games/fowlshot")
{ objdump -p "$work/root/usr/lib/games/fowlshot/fowlshot" | awk '$1 == "NEEDED" {print "*/" $2}'; echo "$font"; } |
while read -r need; do
  dpkg -S "$need" | sed 's/[:,].*//' | grep -xFf "$work/depends" > /dev/null || fail "$need comes from no declared dependency"
done
lintian --fail-on error "$deb" || fail "lintian reports errors"

exec 9> /tmp/fowlshot-package-test.lock && flock 9 && game=  # one install at a time here
! dpkg -s fowlshot > /dev/null 2>&1 || fail "fowlshot is installed here already; this test installs and purges its own"
trap 'set +e; kill $game 2> /dev/null
  ! dpkg -s fowlshot > /dev/null 2>&1 || apt-get purge -y -q -o DPkg::Lock::Timeout=900 fowlshot > /dev/null
  rm -rf "$work"' EXIT
apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=900 "$deb" > "$work/apt.log" || { cat "$work/apt.log"; fail install; }

home=$work/home && mkdir "$home" && chown nobody: "$home"
player() { timeout -s KILL 120 setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env -i HOME="$home" PATH=/usr/bin:/bin:/usr/games DISPLAY="$DISPLAY" ALSOFT_DRIVERS=null "$@"; }
status=0 && player XDG_DATA_HOME=/usr/share fowlshot 2> "$work/err" || status=$?
[ $status -eq 1 ] && grep -q "cannot make .*/usr/share/fowlshot" "$work/err" || fail "unmakeable folder: status $status, $(cat "$work/err")"

player fowlshot > "$work/out" 2>&1 & game=$!
window=$(timeout 60 xdotool search --sync --name '^Fowlshot Lark$' | head -1) || fail "no window"
xdotool windowfocus --sync "$window"
# The title screen as the README's screenshot shows it (its blinking line aside), or not.
title() { import -window "$window" "$work/shot.png" &&
  [ "$(compare -metric AE -fuzz 20% "$source/docs/screenshots/title.png" "$work/shot.png" null: 2>&1)" "$1" 10000 ]; }
retry title -lt || fail "no title screen"
xdotool key 1 && retry title -gt || fail "key 1 started no game"
xdotool key q && retry title -lt || fail "Q in play did not lead back to the title"
xdotool key q && status=0 && wait $game || status=$?
[ $status -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
log=$home/.local/share/fowlshot/lark.log
[ "$(stat -c %U "$log")" = nobody ] && [ "$(grep -c 'successfully \(loaded\|opened\) from' "$log")" -eq 13 ] &&
  grep -q "All managers are shutting down" "$log" || fail "the log in the player's folder: $(cat "$log")"

apt-get purge -y -q -o DPkg::Lock::Timeout=900 fowlshot > "$work/apt.log" || { cat "$work/apt.log"; fail purge; }
while read -r f; do
  case $f in *fowlshot*) [ ! -e "$f" ] || fail "$f is left after the purge" ;; esac
done < "$work/files"
# Other tests' folders may vanish under find, which then fails: its list still holds.
left=$(find /tmp /var/tmp /dev/shm -user nobody -newer "$work/files" -not -path "$home*" 2> /dev/null || true)
[ -z "$left" ] || fail "the player left files outside its folder: $left"
