#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS seconds.
#   fuzz/run.sh SECONDS [TARGET...]     (every target when none is named)
# A target that crashes, leaks, hangs longer than 5 s on one input or needs
# more than 512 MB is a finding: its input is kept in $FUZZ_BUILD/findings/
# and the script ends with status 1. FUZZ_JOBS targets run at once (default 1).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh SECONDS [TARGET...]}
shift
build=${FUZZ_BUILD:-build-fuzz}
jobs=${FUZZ_JOBS:-1}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_FUZZ=ON \
  -DLUMORA_EDITOR=OFF -DLUMORA_BUILD_TESTS=OFF -DLUMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_targets

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("${name#fuzz_}")
  done
fi
mkdir -p "$build/findings" "$build/logs"

run_one() {  # run_one TARGET: fuzzes TARGET, its working corpus grown from the seeds
  local name=$1 corpus=$build/corpus/$1 options=()
  mkdir -p "$corpus"
  [ -f "fuzz/dict/$name.dict" ] && options+=("-dict=fuzz/dict/$name.dict")
  if "$build/bin/fuzz_$name" "${options[@]}" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=5 \
       -print_final_stats=1 -artifact_prefix="$build/findings/$name-" "$corpus" "fuzz/corpus/$name" \
       >"$build/logs/$name.log" 2>&1; then
    echo "$name: $(grep -E '^stat::number_of_executed_units' "$build/logs/$name.log" | awk '{print $2}') runs," \
         "$(grep -Eo 'cov: [0-9]+' "$build/logs/$name.log" | tail -n 1), no finding"
  else
    echo "$name: FINDING, see $build/logs/$name.log and $build/findings/"
    tail -n 30 "$build/logs/$name.log"
    return 1
  fi
}
export -f run_one
export build seconds
# A smaller quarantine for freed memory than ASan's 256 MB: the memory limit
# counts the whole process, and a target that frees a few large buffers per
# input (the simulated receiver takes a 64 MB download) would otherwise reach
# it through the quarantine alone over a long run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}

printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}'
