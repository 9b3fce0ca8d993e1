#!/usr/bin/env bash
# Installs what is missing, builds both configurations (the Windows program with
# MinGW-w64, the store natively with ASan/UBSan) and runs every test: Windows
# tests under Wine (window tests on a virtual X display), native tests directly.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc)"
export DEPS_DIR="${DEPS_DIR:-$HOME/.cache/tilvo-deps}"

bash "$ROOT/scripts/install-deps.sh" > /tmp/tilvo-install.log 2>&1 || {
  cat /tmp/tilvo-install.log; echo "install failed"; exit 1; }
echo "dependencies ready (log: /tmp/tilvo-install.log)"
# shellcheck disable=SC1091
. "$DEPS_DIR/env.sh"
# A Wine prefix of this checkout's own: a wineserver shared with other runs
# would keep its desktop on whichever X display started it first. Copied again
# when the install has changed the prefix's settings since.
if ! cmp -s "$WINEPREFIX/.prefix-configured" "$ROOT/build/wineprefix/.prefix-configured"; then
  if [ -d "$ROOT/build/wineprefix" ]; then WINEPREFIX="$ROOT/build/wineprefix" wineserver -k 2>/dev/null || true; fi
  mkdir -p "$ROOT/build" && rm -rf "$ROOT/build/wineprefix"
  cp -a "$WINEPREFIX" "$ROOT/build/wineprefix"
fi
export WINEPREFIX="$ROOT/build/wineprefix"

WIN_BUILD="$ROOT/build/win"
NATIVE_BUILD="$ROOT/build/native"
status=0
mkdir -p "$ROOT/build"

echo "=== build: Windows (MinGW-w64)"
cmake -S "$ROOT" -B "$WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON > "$WIN_BUILD.configure.log" 2>&1 || { cat "$WIN_BUILD.configure.log"; exit 1; }
cmake --build "$WIN_BUILD" -j"$JOBS" > "$WIN_BUILD.build.log" 2>&1 || {
  grep -vE '^\[ *[0-9]+%\]' "$WIN_BUILD.build.log" | tail -150; echo "Windows build failed"; exit 1; }

echo "=== build: native store (clang, ASan + UBSan)"
# GTest_DIR names the MinGW GoogleTest; the native build takes Debian's.
env -u GTest_DIR CC=clang CXX=clang++ cmake -S "$ROOT" -B "$NATIVE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTILVO_SANITIZE=ON -DTILVO_FUZZ=ON > "$NATIVE_BUILD.configure.log" 2>&1 || { cat "$NATIVE_BUILD.configure.log"; exit 1; }
cmake --build "$NATIVE_BUILD" -j"$JOBS" > "$NATIVE_BUILD.build.log" 2>&1 || {
  grep -vE '^\[ *[0-9]+%\]' "$NATIVE_BUILD.build.log" | tail -150; echo "native build failed"; exit 1; }

rm -rf "$WIN_BUILD/test-results" "$NATIVE_BUILD/test-results"
mkdir -p "$WIN_BUILD/test-results" "$NATIVE_BUILD/test-results"

echo "=== tests: Windows build under Wine"
# Window tests need a display; console tests run the same way.
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$WIN_BUILD" --output-on-failure -j"$JOBS" || status=1

echo "=== tests: native build with sanitizers"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$NATIVE_BUILD" --output-on-failure -j"$JOBS" || status=1

echo "=== summary"
python3 "$ROOT/scripts/summarize-tests.py" "$WIN_BUILD/test-results" "$NATIVE_BUILD/test-results" || status=1
if [ "$status" -eq 0 ]; then echo "ALL TESTS PASSED"; else echo "TESTS FAILED"; fi
exit "$status"
