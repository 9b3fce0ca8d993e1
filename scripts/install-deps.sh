#!/usr/bin/env bash
# Installs everything Tilvo needs to build and test on Debian 12: MinGW-w64, Wine, Xvfb, the SQLite amalgamation
# (generated from Debian's sqlite3 source package), GoogleTest cross-built for MinGW, a configured Wine prefix and a
# CUPS PDF printer. Run as root. Every step is skipped when its result already exists, so re-running is cheap.
#
#   DEPS_DIR=/some/dir bash install-deps.sh   (default: $HOME/.cache/tilvo-deps)
#   WITH_PRINTING=0 bash install-deps.sh      (skip cups + cups-pdf + poppler; default 1)
#   START_CUPS=0 bash install-deps.sh         (install/configure printing but don't start cupsd; default 1)
#   APT_OPTS="-o Dir::Cache::Archives=/x/"   (extra apt-get options, e.g. an empty cache to measure real downloads)
#
# Results:
#   $DEPS_DIR/env.sh                  source it: WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, MINGW_TOOLCHAIN_FILE, ...
#   $DEPS_DIR/sqlite-amalgamation/    sqlite3.c sqlite3.h sqlite3ext.h (Debian's patched sqlite 3.40.1)
#   $DEPS_DIR/mingw-prefix/           GoogleTest (libgtest.a, libgmock.a, lib/cmake/GTest) built for x86_64-w64-mingw32
#   $DEPS_DIR/wineprefix/             64-bit Wine prefix with Wine's fonts and Arial/Times/Courier/Segoe replacements
set -euo pipefail

SCRIPT_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
DEPS_DIR="${DEPS_DIR:-$HOME/.cache/tilvo-deps}"
WITH_PRINTING="${WITH_PRINTING:-1}"
START_CUPS="${START_CUPS:-1}"
TOOLCHAIN_FILE="$SCRIPT_DIR/../cmake/mingw-w64-toolchain.cmake"
JOBS="$(nproc)"
read -r -a APT_EXTRA <<< "${APT_OPTS:-}"
export DEBIAN_FRONTEND=noninteractive

mkdir -p "$DEPS_DIR"
T0=$SECONDS
step() { echo; echo "=== [$((SECONDS - T0))s] $*"; }

PKGS=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools          # cross compiler (posix threads), windres, widl, gendef
  wine wine64 fonts-wine fonts-liberation             # 64-bit Wine only (no i386 multiarch needed)
  xvfb xauth x11-apps imagemagick xdotool             # virtual display, xwd, import/convert/identify, input injection
  nlohmann-json3-dev googletest                       # header-only JSON, GoogleTest sources (/usr/src/googletest)
  cmake make dpkg-dev tcl                             # build tools; dpkg-dev + tclsh for the sqlite amalgamation
  g++ libgtest-dev clang libclang-rt-14-dev           # native store build with sanitizers, libFuzzer
  sqlite3 python3                                     # independent readers of the project and JSON files in tests
)
if [ "$WITH_PRINTING" = 1 ]; then
  PKGS+=(cups printer-driver-cups-pdf poppler-utils)  # CUPS + PDF printer + pdftoppm (pulls ghostscript)
fi

# ---------------------------------------------------------------------------------------------------------------
step "apt sources: add deb-src (for 'apt-get source sqlite3')"
SRC_LIST=/etc/apt/sources.list.d/deb-src-for-sqlite.sources
NEED_UPDATE=0
if [ ! -f "$SRC_LIST" ]; then
  # Mirror the machine's own Debian archive entries as source entries: same mirrors and suites, nothing new named here.
  # Only stanzas signed with Debian's archive key are taken, so third-party repositories without sources stay out.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ "$f" = "$SRC_LIST" ] && continue
    awk -v RS= -v ORS='\n\n' '/debian-archive-keyring/ && /(^|\n)Types:[^\n]*deb/ {
        sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f" >> "$SRC_LIST"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\(.*debian.*\)/deb-src \1\2/p' /etc/apt/sources.list >> "${SRC_LIST%.sources}.list"
  fi
  NEED_UPDATE=1
fi

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ! ls /var/lib/apt/lists/*_source_Sources* >/dev/null 2>&1; then NEED_UPDATE=1; fi
if [ "$NEED_UPDATE" = 1 ] || [ ${#missing[@]} -gt 0 ]; then
  step "apt-get update"
  apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  step "apt-get install ${missing[*]}"
  apt-get install -y -q --no-install-recommends "${APT_EXTRA[@]}" "${missing[@]}"
else
  step "all ${#PKGS[@]} packages already installed"
fi

# Make the unversioned MinGW drivers point to the posix thread model even if the win32 variant gets installed too.
for t in gcc g++; do
  if [ -x /usr/bin/x86_64-w64-mingw32-$t-posix ]; then
    update-alternatives --set x86_64-w64-mingw32-$t /usr/bin/x86_64-w64-mingw32-$t-posix >/dev/null 2>&1 || true
  fi
done

# ---------------------------------------------------------------------------------------------------------------
AMAL="$DEPS_DIR/sqlite-amalgamation"
if [ -s "$AMAL/sqlite3.c" ] && [ -s "$AMAL/sqlite3.h" ]; then
  step "sqlite amalgamation present: $AMAL"
else
  step "sqlite amalgamation from Debian source package"
  rm -rf "$DEPS_DIR/sqlite-src" && mkdir -p "$DEPS_DIR/sqlite-src" && cd "$DEPS_DIR/sqlite-src"
  apt-get source -q "${APT_EXTRA[@]}" sqlite3 2>&1 | grep -vE "^dpkg-source: info: applying" || true
  SRC_DIR="$(find "$DEPS_DIR/sqlite-src" -maxdepth 1 -type d -name 'sqlite3-*' | head -1)"
  mkdir -p bld && cd bld
  "$SRC_DIR/configure" --quiet >/dev/null
  make -j"$JOBS" sqlite3.c sqlite3.h >/dev/null
  mkdir -p "$AMAL"
  cp sqlite3.c sqlite3.h sqlite3ext.h "$AMAL/"
  cd "$DEPS_DIR" && rm -rf "$DEPS_DIR/sqlite-src"
  grep -m1 -o 'version 3\.[0-9.]*' "$AMAL/sqlite3.c"
fi

# ---------------------------------------------------------------------------------------------------------------
GTEST_PREFIX="$DEPS_DIR/mingw-prefix"
if true; then
  if [ -f "$GTEST_PREFIX/lib/cmake/GTest/GTestConfig.cmake" ]; then
    step "GoogleTest (MinGW) present: $GTEST_PREFIX"
  else
    step "GoogleTest cross-build from /usr/src/googletest"
    rm -rf "$DEPS_DIR/gtest-build"
    cmake -S /usr/src/googletest -B "$DEPS_DIR/gtest-build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN_FILE" \
          -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$GTEST_PREFIX" >/dev/null
    cmake --build "$DEPS_DIR/gtest-build" -j"$JOBS" >/dev/null
    cmake --install "$DEPS_DIR/gtest-build" >/dev/null
    rm -rf "$DEPS_DIR/gtest-build"
  fi
fi

# ---------------------------------------------------------------------------------------------------------------
cat > "$DEPS_DIR/env.sh" <<EOF
# generated by install-deps.sh - source this before building/testing
export WINEPREFIX="$DEPS_DIR/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export MINGW_TOOLCHAIN_FILE="$TOOLCHAIN_FILE"
export SQLITE_AMALGAMATION_DIR="$AMAL"
export GTest_DIR="$GTEST_PREFIX/lib/cmake/GTest"
EOF
# shellcheck disable=SC1091
. "$DEPS_DIR/env.sh"

# The prefix's settings; .prefix-configured holds the version they were made with, so that a prefix made by an
# earlier version of this script (and test.sh's copy of it) gets the current ones. Bump it when they change.
PREFIX_SETTINGS=2
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "wine prefix: wineboot --init (headless)"
  ( unset DISPLAY; wineboot --init 2>&1 | grep -v "rundll32.exe" || true )   # 'failed to open ...syswow64\\rundll32.exe' is expected
fi
if [ "$(cat "$WINEPREFIX/.prefix-configured" 2>/dev/null)" = "$PREFIX_SETTINGS" ]; then
  step "wine prefix present: $WINEPREFIX"
else
  step "wine prefix: fonts and settings"
  # Debian's wine does not pick up /usr/share/wine/fonts by itself: copy them into the prefix (Marlett for the caption
  # glyphs, ...). Not Wine's own Tahoma, which the dialog font "MS Shell Dlg" stands for: this Wine draws many of its
  # glyphs at another advance than it measures them ("v1.0.0" measures 29 px and draws 31, so right-aligned text
  # loses its last glyph) and draws its bold as regular. Tahoma is replaced below by Liberation Sans Narrow, which
  # draws as wide as it measures at the sizes the program uses, in both weights (Liberation Sans does not: a line of
  # "W" at 15 px draws a pixel wider per glyph).
  for f in /usr/share/wine/fonts/*.ttf; do
    case "$(basename "$f")" in
      tahoma*) rm -f "$WINEPREFIX/drive_c/windows/Fonts/$(basename "$f")" ;;
      *) cp -f "$f" "$WINEPREFIX/drive_c/windows/Fonts/" ;;
    esac
  done
  # Metric-compatible replacements so GDI *and* GDI+ find the usual Windows family names
  cat > "$DEPS_DIR/wine-settings.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
"Segoe UI"="Liberation Sans"
"Tahoma"="Liberation Sans Narrow"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
EOF
  ( unset DISPLAY; cd "$DEPS_DIR" && wine reg import wine-settings.reg 2>&1 | tr -d '\r' )
  wineserver -w
  echo "$PREFIX_SETTINGS" > "$WINEPREFIX/.prefix-configured"
fi

# ---------------------------------------------------------------------------------------------------------------
if [ "$WITH_PRINTING" = 1 ]; then
  step "printing: cups-pdf output dir, cupsd, PDF queue"
  # The output folder is the machine's, shared by every checkout: set it only where the package's own default
  # (or nothing) stands, and leave a folder that an earlier install chose. Tests read it from the configuration.
  PDF_OUT="$DEPS_DIR/cups-pdf"
  PDF_CONF=/etc/cups/cups-pdf.conf
  out_now="$(sed -n 's/^Out[[:space:]]\{1,\}//p' "$PDF_CONF" | tail -n 1)"
  if [ -z "$out_now" ] || [ "$out_now" = '${HOME}/PDF' ]; then
    mkdir -p "$PDF_OUT"
    if grep -q '^Out[[:space:]]' "$PDF_CONF"; then
      sed -i "s|^Out[[:space:]].*|Out $PDF_OUT/\${USER}|" "$PDF_CONF"
    else
      echo "Out $PDF_OUT/\${USER}" >> "$PDF_CONF"
    fi
  fi
  if ! grep -q '^AnonDirName' "$PDF_CONF"; then
    mkdir -p "$PDF_OUT"
    echo "AnonDirName $PDF_OUT/ANONYMOUS" >> "$PDF_CONF"
  fi
  if [ "$START_CUPS" = 1 ]; then
    if ! lpstat -r 2>/dev/null | grep -q "is running"; then
      # no systemd here: run cupsd in the foreground, in the background of this shell, and remember its PID
      nohup cupsd -f > "$DEPS_DIR/cupsd.log" 2>&1 &
      echo $! > "$DEPS_DIR/cupsd.pid"
      for _ in $(seq 1 100); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.1; done
    fi
    lpstat -r
    if ! lpstat -p PDF >/dev/null 2>&1; then
      lpadmin -p PDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
      lpadmin -d PDF
    fi
    lpstat -p PDF
  fi
fi

step "done in $((SECONDS - T0)) s. Next: . $DEPS_DIR/env.sh"
