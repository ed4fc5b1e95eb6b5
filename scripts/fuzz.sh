#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in
# build-fuzz and runs each for SECONDS (default 600) on its seed corpus in fuzz/corpus.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     targets: text records archive format (default all)
#
# FUZZ_JOBS targets run at a time (default 2). New corpus entries go to build-fuzz/corpus/<name>,
# findings to build-fuzz/findings/<name>/; copy a finding to fuzz/regressions/<name>/ once it is
# fixed, so that ./test.sh replays it from then on. Exits non-zero when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
zelvanor_install_deps "${ZELVANOR_FUZZ_PACKAGES[@]}"

SECONDS_EACH=${1:-600}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(text records archive format)
JOBS=${FUZZ_JOBS:-2}
BUILD_DIR=${BUILD_DIR:-build-fuzz}

# Longest input per target: a few records, a small archive, a field, a pattern.
declare -A MAX_LEN=([text]=512 [records]=8192 [archive]=20000 [format]=96)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "${launcher[@]}" -DZELVANOR_BUILD_FUZZ=ON -DZELVANOR_BUILD_GUI=OFF \
  -DZELVANOR_BUILD_TESTS=OFF -DZELVANOR_BUILD_BENCH=OFF >/dev/null
nice cmake --build "$BUILD_DIR" --target "${TARGETS[@]/#/fuzz_}"

run_one() {
  local name=$1
  mkdir -p "$BUILD_DIR/corpus/$name" "$BUILD_DIR/findings/$name"
  touch "$BUILD_DIR/findings/$name/.started"
  nice "$BUILD_DIR/fuzz/fuzz_$name" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
    -max_len="${MAX_LEN[$name]:-4096}" -timeout=30 \
    -artifact_prefix="$BUILD_DIR/findings/$name/" \
    "$BUILD_DIR/corpus/$name" "fuzz/corpus/$name" >"$BUILD_DIR/fuzz-$name.log" 2>&1
}

pids=()
names=()
status=()
for name in "${TARGETS[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do sleep 1; done
  echo "fuzzing $name for ${SECONDS_EACH}s (log: $BUILD_DIR/fuzz-$name.log)"
  run_one "$name" &
  pids+=($!)
  names+=("$name")
done
failed=0
for i in "${!pids[@]}"; do
  if wait "${pids[$i]}"; then status[$i]=clean; else status[$i]=FOUND; failed=1; fi
done

printf '\n%-10s %14s %8s %8s  %s\n' target executions seconds corpus result
for i in "${!names[@]}"; do
  name=${names[$i]}
  log="$BUILD_DIR/fuzz-$name.log"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  printf '%-10s %14s %8s %8s  %s\n' "$name" "${execs:-?}" "${took:-?}" \
    "$(ls "$BUILD_DIR/corpus/$name" | wc -l)" "${status[$i]}"
  if [ "${status[$i]}" != clean ]; then
    find "$BUILD_DIR/findings/$name" -type f -newer "$BUILD_DIR/findings/$name/.started" |
      sed 's/^/    /'
  fi
done
exit $failed
