#!/usr/bin/env bash
# The editor is never dropped from a build by accident: configuring on a
# machine where Qt cannot be found fails unless the editor is switched off.
#   configure_test.sh SOURCE_DIR
set -euo pipefail
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if cmake -S "$source" -B "$work/with-editor" -G Ninja -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON \
     >"$work/with-editor.log" 2>&1; then
  fail "the build configured without Qt and without the editor"
fi
grep -q "Qt6" "$work/with-editor.log" || fail "the configure error does not name Qt6"

cmake -S "$source" -B "$work/no-editor" -G Ninja -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DLUMORA_EDITOR=OFF \
  >"$work/no-editor.log" 2>&1 || { cat "$work/no-editor.log"; fail "LUMORA_EDITOR=OFF does not configure without Qt"; }
grep -q "add_executable(LumoraV3\|lumora_shell" "$work/no-editor/build.ninja" && fail "the editor is built with LUMORA_EDITOR=OFF"
echo "Qt is required for the editor; LUMORA_EDITOR=OFF builds without it"
