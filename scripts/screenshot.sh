#!/usr/bin/env bash
# Makes docs/screenshot.png (or $OUT): the editor with the sample database
# open, on a virtual screen. Also leaves the sample as a channel-data file in
# $BUILD/examples/sample.dnf, ready for File > Open.
#   scripts/screenshot.sh            (BUILD=build, OUT=docs/screenshot.png by default)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${OUT:-docs/screenshot.png}

if [ ! -x "$BUILD/bin/LumoraV3" ] || [ ! -x "$BUILD/bin/lumora-cli" ] || [ ! -f "$BUILD/bin/LV3DLL.so" ]; then
  cmake -S . -B "$BUILD" -G Ninja
  cmake --build "$BUILD" --target LumoraV3 lumora-cli LV3DLL
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$BUILD/examples" "$(dirname "$OUT")"
dnf="$BUILD/examples/sample.dnf"

# The conversion library turns the interchange file into a channel-data file.
"$BUILD/bin/lumora-cli" convert examples/sample.txt "$dnf"

# Settings for the picture: a satellite model and the sample's satellite names.
printf '%s\r\n' '[ANTENNA LANGUAGE]' 'COUNT=8' 'LANGUAGE 0=ASTRA 1' 'LANGUAGE 1=ASTRA 2' \
  'LANGUAGE 2=HOTBIRD' 'LANGUAGE 3=EUTELSAT W2' 'LANGUAGE 4=TURKSAT' 'LANGUAGE 5=AMOS' \
  'LANGUAGE 6=SIRIUS' 'LANGUAGE 7=THOR' '[SYSTEMINFO]' 'MODEL=0' 'ANT32=1' >"$work/LV32.cfg"

QT_ENABLE_HIGHDPI_SCALING=0 xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
  "$BUILD/bin/LumoraV3" --screenshot "$OUT" --open "$dnf" --settings "$work/LV32.cfg"
echo "$OUT written; the sample database is $dnf"
