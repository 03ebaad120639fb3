#!/usr/bin/env bash
# Renders page 1 of the printed service list of examples/sample.txt into
# docs/report-page.png (the picture in the README).
#   scripts/render-report-page.sh [BUILD_DIR] [DPI]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
dpi=${2:-110}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target lumora-report-page
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build/bin/lumora-report-page" examples/sample.txt docs/report-page.png "$dpi"
echo "docs/report-page.png written"
