#!/usr/bin/env bash
# The engine installed, its prefix moved, both examples built out of the tree against it alone:
# hello's first frame, then Q; catch's basket moved by a held key, its quiet log, then Q; status 0.
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d) game=
trap 'kill $game 2> /dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/first" --component engine > /dev/null
mv "$work/first" "$work/prefix"
# Found wherever it is: no installed file names its first place or this machine's libraries.
! grep -rn -e "$work/first" -e '/usr/lib' -e '/usr/share' "$work/prefix/lib/cmake" ||
  fail "the installed CMake files name absolute paths"
[ -s "$work/prefix/share/lark/lk-font.ttf" ] && [ -s "$work/prefix/share/lark/lk-font-copyright.txt" ] ||
  fail "no font installed with the engine"

# Builds examples/$1 against the moved prefix into $work/$1-build.
build_example() {
  cp -r "$source/examples/$1" "$work/$1"
  cmake -S "$work/$1" -B "$work/$1-build" -DCMAKE_PREFIX_PATH="$work/prefix" > "$work/$1.configure.log" 2>&1 ||
    { cat "$work/$1.configure.log"; fail "$1 does not configure"; }
  grep -qx "Lark_DIR:PATH=$work/prefix/lib/cmake/Lark" "$work/$1-build/CMakeCache.txt" || fail "$1: another Lark was found"
  cmake --build "$work/$1-build" -j 2 > "$work/$1.build.log" 2>&1 || { cat "$work/$1.build.log"; fail "$1 does not build"; }
  cmp -s "$work/prefix/share/lark/lk-font.ttf" "$work/$1-build/$1/lk-font.ttf" || fail "$1: the engine's font was not laid out"
}

# Starts the example in $1 from its bin/ and sets $window.
start() {
  cd "$work/$1-build/$1/bin"
  ALSOFT_DRIVERS=null timeout -s KILL 60 "./$1" > ../out.txt 2>&1 & game=$!
  window=$(timeout 60 xdotool search --sync --name '^Fowlshot Lark$' | head -1) || fail "$1: no window"
}

# The window's pixels that convert's options ($@) leave lit.
pixels() {
  import -window "$window" ../frame.png
  convert ../frame.png "$@" -format '%[fx:int(mean*w*h)]' info:
}
lit() { pixels -threshold 20%; }

stop() {
  xdotool windowfocus --sync "$window" key q
  status=0 && wait $game || status=$?
  [ $status -eq 0 ] || fail "$1: exit status $status: $(cat ../out.txt)"
}

build_example hello
build_example catch

start hello
# Step 0's line comes after its frame was drawn and shown: balloons and the HUD.
for _ in $(seq 300); do grep -qs "(step #0)" ../lark.log && break; sleep 0.1; done
pixels=$(lit)
[ "$pixels" -gt 300 ] || fail "hello's first frame shows $pixels lit pixels: $(cat ../lark.log)"
stop hello

start catch
for _ in $(seq 300); do grep -qs "Sky::start(): game 1 begins." ../lark.log && break; sleep 0.1; done
sleep 1
before=$(lit)
[ "$before" -gt 300 ] || fail "catch's first frames show $before lit pixels: $(cat ../lark.log)"
# Held Left takes the basket from the middle to the left edge: its yellow in the bottom left tenth.
basket() { pixels -crop 102x68+0+700 -fx '(r>0.6&&g>0.6&&b<0.3)'; }
[ "$(basket)" -eq 0 ] || fail "catch's basket is at the left edge before any key"
xdotool windowfocus --sync "$window" keydown Left sleep 2 keyup Left
[ "$(basket)" -gt 20 ] || fail "catch's basket did not reach the left edge with Left held"
grep -q "(step #" ../lark.log && fail "catch switched the step lines off, yet they are in its log"
stop catch
