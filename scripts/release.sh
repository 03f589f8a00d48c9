#!/usr/bin/env bash
# Builds both release archives by the same steps: build/i686/vantora-<version>-win32.zip
# and build/x86_64/vantora-<version>-win64.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
for arch in i686 x86_64; do
  cmake -S . -B "build/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" -DBUILD_TESTING=OFF >/dev/null
  cmake --build "build/$arch" --target package
done
ls -l build/i686/vantora-*-win32.zip build/x86_64/vantora-*-win64.zip
