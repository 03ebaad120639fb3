#!/usr/bin/env bash
# Shows what the tools make of the sample database, for a machine without a
# display: converts it, builds and verifies a download image, writes the
# printed service list as a PDF and a picture of the editor with the sample
# open (on a virtual screen), and names the files it wrote.
#   scripts/show-tools.sh [BUILD_DIR] [OUT_DIR]   (build and build/examples by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-$build/examples}
bin=$build/bin
mkdir -p "$out"

echo "What the tools do with the sample database (examples/sample.txt):"
echo
echo "== lumora-cli convert, then check: the channel-data file and its tables"
"$bin/lumora-cli" convert examples/sample.txt "$out/sample.dnf"
"$bin/lumora-cli" check "$out/sample.dnf"
echo
echo "== lumora-cli ddf: the receiver's download image; ddfcheck verifies it"
"$bin/lumora-cli" ddf "$out/sample.dnf" "$out/sample.ddf" --system-id 2A0010
"$bin/ddfcheck" "$out/sample.ddf" | tail -n 1
echo
echo "== the printed service list, as a PDF"
QT_QPA_PLATFORM=offscreen "$bin/lumora-report-page" examples/sample.txt "$out/service-list.pdf"
echo
echo "== a picture of the editor with the sample open"
BUILD=$build OUT=$out/editor.png scripts/screenshot.sh >/dev/null
echo
echo "Files written:"
for f in sample.dnf sample.ddf service-list.pdf editor.png; do
  printf '  %s (%s bytes)\n' "$out/$f" "$(stat -c %s "$out/$f")"
done
echo "Run ./dev.sh start in a desktop session to use the editor itself."
