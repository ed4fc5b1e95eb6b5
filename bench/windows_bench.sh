#!/usr/bin/env bash
# The windows on a database of many seasons: fills a data folder with SEASONS generated seasons
# (kept between runs, made again only when missing), imported one after another as a user would,
# then runs zelvanor_windows_bench on it.
#
#   bench/windows_bench.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build-bench beside this folder (configure it Release with the GUI on).
# SEASONS (default 10), RUNS (default 5) and WORK (default /tmp/zelvanor-windows-bench) may be
# set in the environment.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build-bench}
build=$(cd "$build" && pwd)
seasons=${SEASONS:-10}
runs=${RUNS:-5}
work=${WORK:-/tmp/zelvanor-windows-bench}

sample_tool=$build/tools/zelvanor-sample
cli=$build/src/cli/zelvanor-cli
bench=$build/bench/zelvanor_windows_bench
for tool in "$sample_tool" "$cli" "$bench"; do
    if [[ ! -x $tool ]]; then
        echo "missing $tool; build it first:" >&2
        echo "  cmake --build $build --target zelvanor-cli zelvanor-sample zelvanor_windows_bench" >&2
        exit 2
    fi
done

data=$work/data-$seasons
if [[ ! -f $data/.complete ]]; then
    rm -rf "$work/seasons-$seasons" "$data"
    "$sample_tool" --seasons "$seasons" --out "$work/seasons-$seasons" > /dev/null
    mkdir -p "$data"
    for folder in "$work/seasons-$seasons"/*/; do
        start=$(date +%s%N)
        "$cli" --data "$data" import "$folder"kisi.lzh "$folder"chok.lzh "$folder"umaj.lzh \
            "$folder"sei1.lzh > /dev/null
        echo "imported $(basename "$folder") in $((($(date +%s%N) - start) / 1000000)) ms"
    done
    ls -l "$data"/*.mdb
    touch "$data/.complete"
fi
"$bench" "$data" "$runs"
