#!/usr/bin/env bash
# What ./dev.sh start shows on a machine without a display: the script runs
# to its end and writes every file it names.
#   show_tools_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source=$1 build=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY "$source/scripts/show-tools.sh" "$build" "$out" >"$out/log" 2>&1 \
  || { cat "$out/log"; echo "FAIL: show-tools.sh ended with an error" >&2; exit 1; }
for f in sample.dnf sample.ddf service-list.pdf editor.png; do
  [ -s "$out/$f" ] || { cat "$out/log"; echo "FAIL: $f was not written" >&2; exit 1; }
  grep -qF "$out/$f" "$out/log" || { echo "FAIL: $f is not named in the output" >&2; exit 1; }
done
head -c 5 "$out/service-list.pdf" | grep -q '%PDF-' || { echo "FAIL: service-list.pdf is no PDF" >&2; exit 1; }
echo "show-tools wrote and named every file"
