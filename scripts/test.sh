#!/usr/bin/env bash
# Builds Vantora for 32-bit and 64-bit Windows and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
source scripts/wine-env.sh
trap vantora_cleanup EXIT

for arch in i686 x86_64; do
  cmake -S . -B "build/test-$arch" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" -DBUILD_TESTING=ON >/dev/null
  cmake --build "build/test-$arch"
done

vantora_start_display
vantora_prepare_prefix "$PWD/build/wineprefix-test" unmanaged
vantora_start_wineserver
# The test programs run side by side, each on a desktop of its own: they
# mostly wait for the wineserver and the X server. Four ended soonest on a
# machine of two cores (three and five measured too).
desktops=4
vantora_start_desktops $desktops
# And one at 144 DPI (150 %) for the tests of what grows with the fonts, one
# with an English system locale for the tests of what the program shows.
vantora_start_kind_desktop dpi144
vantora_start_kind_desktop en

status=0
ran=()
for arch in i686 x86_64; do
  echo "== tests, $arch"
  if [ "$arch" = i686 ] && ! vantora_can_run_32bit; then
    echo "note: this machine's kernel cannot run 32-bit code; the i686 tests are built but reported as skipped"
  else
    ran+=("$arch")
  fi
  ctest --test-dir "build/test-$arch" --output-on-failure -j $desktops || status=1
done
echo "== architectures whose tests ran: ${ran[*]}"

echo "== fuzzing"
bash scripts/fuzz.sh || status=1
exit $status
