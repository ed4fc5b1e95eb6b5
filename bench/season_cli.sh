#!/usr/bin/env bash
# The whole-command measurement of a season's import: generates the four archives of a season
# with zelvanor-sample and times `zelvanor-cli --data DIR import` of all four with hyperfine, a
# fresh data folder before every run.
#
#   bench/season_cli.sh [BUILD_DIR] [-- extra hyperfine options]
#
# BUILD_DIR defaults to build-bench beside this folder (configure it Release). Needs hyperfine:
#   apt-get install -y --no-install-recommends hyperfine
# SIZE (meeting, weekend, season; default season), SEED (default 1998) and RUNS (default 5) may
# be set in the environment.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build-bench}
[[ $# -gt 0 ]] && shift
# Absolute: the runs are made from the sample's folder.
[[ -d $build ]] && build=$(cd "$build" && pwd)
[[ ${1:-} == -- ]] && shift
size=${SIZE:-season}
seed=${SEED:-1998}
runs=${RUNS:-5}

sample_tool=$build/tools/zelvanor-sample
cli=$build/src/cli/zelvanor-cli
for tool in "$sample_tool" "$cli"; do
    if [[ ! -x $tool ]]; then
        echo "missing $tool; build it first:" >&2
        echo "  cmake --build $build --target zelvanor-cli zelvanor-sample" >&2
        exit 2
    fi
done
if ! command -v hyperfine >/dev/null; then
    echo "hyperfine is not installed: apt-get install -y --no-install-recommends hyperfine" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zelvanor-season-cli-XXXXXX")
trap 'rm -rf "$work"' EXIT
"$sample_tool" --size "$size" --seed "$seed" --out "$work/sample" | tail -n 1
data=$work/data

# The archives are named relative to their folder, as a user would type them.
cd "$work/sample"
hyperfine --warmup 1 --runs "$runs" \
    --prepare "rm -rf '$data'; mkdir '$data'" \
    --command-name "zelvanor-cli import ($size)" \
    --export-json "$work/times.json" \
    "'$cli' --data '$data' import kisi.lzh chok.lzh umaj.lzh sei1.lzh" \
    "$@"

# hyperfine prints the mean; the in-process benchmark reports medians, so give that too.
if command -v python3 >/dev/null; then
    python3 -c 'import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    print("  Median: %.3f s" % r["median"])' "$work/times.json"
fi
