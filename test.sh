#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
#   ./test.sh              the normal build, in build/
#   ./test.sh --sanitize   the same with AddressSanitizer (leaks included) and
#                          UndefinedBehaviorSanitizer, in build-asan/; any finding fails the test
set -euo pipefail
cd "$(dirname "$0")"
sanitize=0
for arg in "$@"; do
  case $arg in
    --sanitize) sanitize=1 ;;
    *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
  esac
done
. scripts/deps.sh
zelvanor_install_deps
options=()
if [ $sanitize -eq 1 ]; then
  BUILD_DIR=${BUILD_DIR:-build-asan}
  options=(-DZELVANOR_SANITIZE=ON)
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
fi
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
cmake --build "$BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
