#!/usr/bin/env bash
# The core's tests, the sample-data checks and the command-line tests under ThreadSanitizer: the
# imports share work with a second thread, and a data race there would corrupt an import.
# Not part of ./test.sh (a second full build); run it after changing the imports' threads.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
zelvanor_install_deps
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELVANOR_BUILD_GUI=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -O1 -g" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build build-tsan -j2
export TSAN_OPTIONS="halt_on_error=1"
build-tsan/tests/core/core_tests
build-tsan/tests/sampledata/sample_tests
build-tsan/tests/cli/cli_tests
