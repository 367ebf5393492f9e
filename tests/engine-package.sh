#!/usr/bin/env bash
# The engine installed into a fresh prefix, examples/hello copied out of the tree,
# built against it alone and started: its first frame drawn, then Q, status 0.
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d) game=
trap 'kill $game 2> /dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/prefix" --component engine > /dev/null
cp -r "$source/examples/hello" "$work/src"
cmake -S "$work/src" -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" > "$work/configure.log" ||
  { cat "$work/configure.log"; fail "the example does not configure"; }
grep -qx "Lark_DIR:PATH=$work/prefix/lib/cmake/Lark" "$work/build/CMakeCache.txt" || fail "another Lark was found"
cmake --build "$work/build" -j 2 > "$work/build.log" || { cat "$work/build.log"; fail "the example does not build"; }

cd "$work/build/hello/bin"
ALSOFT_DRIVERS=null timeout -s KILL 60 ./hello > ../out.txt 2>&1 & game=$!
window=$(timeout 60 xdotool search --sync --name '^Fowlshot Lark$' | head -1) || fail "no window"
# Step 0's line comes after its frame was drawn and shown: balloons and the HUD.
for _ in $(seq 300); do grep -qs "(step #0)" ../lark.log && break; sleep 0.1; done
import -window "$window" ../frame.png
lit=$(convert ../frame.png -threshold 20% -format '%[fx:int(mean*w*h)]' info:)
[ "$lit" -gt 300 ] || fail "the first frame shows $lit lit pixels: $(cat ../lark.log)"
xdotool windowfocus --sync "$window" key q
status=0 && wait $game || status=$?
[ $status -eq 0 ] || fail "exit status $status: $(cat ../out.txt)"
