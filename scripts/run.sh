#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine.
# Without an X display it runs on a virtual one (Xvfb) and says so.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export DEPS_DIR="${DEPS_DIR:-$HOME/.cache/tilvo-deps}"
bash "$ROOT/scripts/install-deps.sh" > /tmp/tilvo-install.log 2>&1 || { cat /tmp/tilvo-install.log; exit 1; }
# shellcheck disable=SC1091
. "$DEPS_DIR/env.sh"
BUILD="$ROOT/build/win"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target tilvo
EXE="$BUILD/app/tilvo.exe"
if [ ! -f "$EXE" ]; then echo "tilvo.exe was not built"; exit 1; fi
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$EXE"
else
  echo "No DISPLAY: starting Tilvo on a virtual X display (Xvfb)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$EXE"
fi
