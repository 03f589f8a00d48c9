#!/usr/bin/env bash
# Builds Vantora and runs it under Wine.
#   bash scripts/run.sh                     start it (on a headless machine inside Xvfb)
#   bash scripts/run.sh --screenshot F.png  start it, save a screenshot after start-up, quit
#   bash scripts/run.sh --screenshot F.png --keys "alt+v"   press keys before the shot
#     (items are xdotool key names, or click:X,Y, dblclick:X,Y and move:X,Y on the
#     1024x768 desktop)
#   bash scripts/run.sh --bare              without the Wine programs it opens first
#   bash scripts/run.sh --dpi 144           on a desktop at 144 DPI (150 %; 96 is 100 %)
set -euo pipefail
cd "$(dirname "$0")/.."
shot=
keys=
bare=
dpi=96
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshot) shot=$(realpath -m "$2"); shift 2 ;;
    --keys) keys="$2"; shift 2 ;;
    --bare) bare=1; shift ;;
    --dpi) dpi="$2"; shift 2 ;;
    *) echo "usage: $0 [--bare] [--dpi N] [--screenshot FILE.png [--keys XDOTOOL-KEYS]]" >&2; exit 2 ;;
  esac
done

bash scripts/setup.sh
source scripts/wine-env.sh
trap vantora_cleanup EXIT

# The 64-bit build: the one every test run covers.
arch=x86_64
build="build/$arch"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target vantora

headless=
[ -z "${DISPLAY:-}" ] && headless=1
vantora_start_display
vantora_prepare_prefix "$PWD/build/wineprefix-run" managed
vantora_set_dpi "$dpi"
vantora_start_wineserver

exe="$PWD/$build/vantora.exe"
# A Wine desktop gives frames, a taskbar and a notification area on Xvfb.
launch() {
  if [ -n "$headless" ] || [ -n "$shot" ]; then
    vantora_wine explorer /desktop=Vantora,1024x768 "$@" &
  else
    vantora_wine "$@" &
  fi
}
# A few of Wine's own programs, so that the list holds real windows to try
# the commands on; the clean-up on exit ends them with the desktop.
if [ -z "$bare" ]; then
  for program in notepad winemine clock; do
    launch "$program"
    sleep 1
  done
  sleep 2
fi
launch "$exe"
app=$!

if [ -n "$shot" ]; then
  sleep 6
  if [ -n "$keys" ]; then
    for k in $keys; do
      case "$k" in
        move:*) xdotool mousemove $(echo ${k#move:} | tr , " ") ;;
        click:*) xdotool mousemove $(echo ${k#click:} | tr , " ") && xdotool click 1 ;;
        dblclick:*) xdotool mousemove $(echo ${k#dblclick:} | tr , " ") && xdotool click --repeat 2 --delay 80 1 ;;
        *) xdotool key "$k" ;;
      esac
      sleep 1
    done
  fi
  import -display "$DISPLAY" -window root -crop 1024x768+0+0 +repage "$shot"
  echo "screenshot saved to $shot"
  exit 0
fi
echo "Vantora is running on display $DISPLAY; close its window to end."
wait "$app"
