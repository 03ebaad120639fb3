#!/usr/bin/env bash
# Installs the build into a temporary prefix (a folder name with non-ASCII
# letters) and runs each installed program once, the way a user would after
# installing the package.
#   install_test.sh BUILD_DIR SOURCE_DIR EDITOR(ON|OFF) C_COMPILER [C_FLAGS...]
set -euo pipefail
build=$1 source=$2 editor=$3 cc=$4
shift 4

prefix=$(mktemp -d "${TMPDIR:-/tmp}/lumora-Prüfung-XXXXXX")
trap 'kill "${sim:-}" 2>/dev/null || true; rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
bin=$prefix/bin
work=$prefix/Каналы
mkdir "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }

step "every deliverable is installed"
editor_files=()
[ "$editor" = ON ] && editor_files=(bin/LumoraV3 share/man/man1/LumoraV3.1 share/applications/lumorav3.desktop
                             share/mime/packages/lumorav3-mime.xml)
for f in "${editor_files[@]}" bin/lumora-cli bin/ddfenc bin/ddfcheck bin/stbsim \
         lib/LumoraV3/LV3DLL.so lib/LumoraV3/encdll12.so lib/encdll12.so include/encdll12.h \
         share/man/man1/lumora-cli.1 share/man/man1/ddfenc.1 share/man/man1/ddfcheck.1 \
         share/man/man1/stbsim.1; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done

step "lumora-cli converts, checks and builds an image"
"$bin/lumora-cli" convert "$source/examples/sample.txt" "$work/sample.dnf"
"$bin/lumora-cli" check "$work/sample.dnf" | grep -qx "TV services: 235" || fail "check did not count the sample"
"$bin/lumora-cli" ddf "$work/sample.dnf" "$work/sample.ddf" --system-id 2A0010 >/dev/null

step "ddfcheck verifies it"
"$bin/ddfcheck" "$work/sample.ddf" >/dev/null || fail "ddfcheck refused the image lumora-cli built"

step "ddfenc builds an image from a script"
head -c 70000 /dev/urandom >"$work/main.bin"
printf '[header\n id = $2A0010\n ver = 2\n]\n[data\n file = "%s"\n type = application\n compression = yes\n address = $10000\n]\n' \
  "$work/main.bin" >"$work/image.cfg"
"$bin/ddfenc" "$work/image.cfg" "$work/enc.ddf" >/dev/null
"$bin/ddfcheck" "$work/enc.ddf" --extract "$work/out" >/dev/null
cmp -s "$work/main.bin" "$work"/out/*_00010000.bin || fail "ddfenc's image does not give the file back"

step "a program of its own links encdll12 through the installed header"
cat >"$work/caller.c" <<'C'
#include <encdll12.h>
int main(int argc, char** argv) { return argc == 3 && EncodeDDF(argv[1], argv[2]) == 1 ? 0 : 1; }
C
"$cc" "$@" -I"$prefix/include" "$work/caller.c" -o "$work/caller" \
  -L"$prefix/lib" -l:encdll12.so -Wl,-rpath,"$prefix/lib"
"$work/caller" "$work/image.cfg" "$work/caller.ddf" >/dev/null
cmp -s "$work/enc.ddf" "$work/caller.ddf" || fail "the linked library built another image"

step "stbsim opens a pseudo-terminal and ends on SIGTERM"
coproc SIM { exec "$bin/stbsim"; }
sim=$SIM_PID
read -r -t 10 device <&"${SIM[0]}" || fail "stbsim printed no device"
[ -c "$device" ] || fail "stbsim printed $device, not a terminal device"
kill -TERM "$sim"
wait "$sim" || fail "stbsim did not end cleanly"
sim=

if [ "$editor" = ON ]; then
  step "the editor opens the database and saves a picture of its window"
  printf '[SYSTEMINFO]\r\nMODEL=0\r\n' >"$work/LV32.cfg"
  # A message box would wait for ever: the time limit turns that into a failure.
  QT_QPA_PLATFORM=offscreen timeout 60 "$bin/LumoraV3" --screenshot "$work/shot.png" --open "$work/sample.dnf" \
    --settings "$work/LV32.cfg"
  [ -s "$work/shot.png" ] || fail "the editor wrote no picture"
fi

if command -v man >/dev/null; then
  step "the manual pages read"
  for page in "$prefix"/share/man/man1/*.1; do
    MANWIDTH=80 man -l "$page" 2>&1 | grep -q "^NAME" || fail "$page does not render"
  done
fi
echo "all installed programs ran"
