#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./dev.sh start   install what is needed, build, start the program
#   ./dev.sh test    install what is needed, build, run every test
#   ./dev.sh sanitize  the same tests in a build with AddressSanitizer and UBSan
#   ./dev.sh fuzz SECONDS  every fuzz target for SECONDS seconds (clang, libFuzzer)
set -euo pipefail
cd "$(dirname "$0")"

# What the programs need to build and run; start installs only these.
START_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libpugixml-dev libgl-dev fonts-dejavu-core xvfb xauth)
# What the tests, benchmarks, sanitizer and fuzz builds need on top.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev lhasa poppler-utils dtv-scan-tables dvb-tools clang libclang-rt-14-dev)

install_packages() {  # install_packages PACKAGE...
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {  # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir"
}

# VDR's example channel lists and sources.conf, unpacked from its package
# without installing the daemon, for the import tests on real data.
fetch_vdr_examples() {  # fetch_vdr_examples BUILD_DIR
  local dir=$1/third_party/vdr
  [ -f "$dir/usr/share/vdr/channels.conf-examples/channels.conf.sat" ] && return 0
  mkdir -p "$dir"
  (cd "$1/third_party" && apt-get download -qq vdr && dpkg-deb -x vdr_*.deb vdr && rm -f vdr_*.deb) ||
    echo "VDR's example files could not be fetched: the tests that read them will skip." >&2
}

run_tests() {  # run_tests DIR
  (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j2)
}

case "${1:-}" in
  start)
    install_packages "${START_PACKAGES[@]}"
    # Only the programs and libraries: the tests and benchmarks come with `test`.
    build build -DLUMORA_BUILD_TESTS=OFF -DLUMORA_BUILD_BENCH=OFF
    # The sample database as a channel-data file, opened at once.
    mkdir -p build/examples
    build/bin/lumora-cli convert examples/sample.txt build/examples/sample.dnf
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then exec build/bin/LumoraV3 build/examples/sample.dnf; fi
    # Nobody could see the editor or answer its first-run question.
    echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): the editor LumoraV3 needs one."
    exec scripts/show-tools.sh build build/examples
    ;;
  test)
    install_packages "${START_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build -DLUMORA_WERROR=ON -DLUMORA_BUILD_TESTS=ON -DLUMORA_BUILD_BENCH=ON
    fetch_vdr_examples build
    run_tests build
    ;;
  sanitize)
    install_packages "${START_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build-asan -DLUMORA_WERROR=ON -DLUMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
    fetch_vdr_examples build-asan
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      run_tests build-asan
    ;;
  fuzz)
    install_packages "${START_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    exec fuzz/run.sh "${2:-30}"
    ;;
  *)
    echo "usage: $0 start|test|sanitize|fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
