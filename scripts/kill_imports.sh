#!/usr/bin/env bash
# Kills a season import at spread moments and checks that nothing was lost or mixed.
#
#   scripts/kill_imports.sh [KILLS] [BUILD_DIR]     (defaults: 50, build)
#
# Over an existing state (a weekend imported), a season import of the four archives is started
# and SIGKILLed at KILLS moments spread over its run. After each kill:
#   - both databases pass PRAGMA integrity_check;
#   - every table equals its state before the import or after one of its files (jockeys,
#     trainers, horses and race cards, results), each being one transaction: never a mix;
#   - the complete import then runs through, and leaves no file but the ones an import keeps.
# Then the same for compaction: a jockey import over a season's mast.mdb (whose compaction then
# takes most of its time) is killed at KILLS moments; mast.mdb must always open and check.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
zelvanor_install_deps sqlite3

KILLS=${1:-50}
BUILD_DIR=${2:-build}
CLI="$PWD/$BUILD_DIR/src/cli/zelvanor-cli"
SAMPLE="$PWD/$BUILD_DIR/tools/zelvanor-sample"
[ -x "$CLI" ] && [ -x "$SAMPLE" ] || { echo "build first: $CLI, $SAMPLE" >&2; exit 2; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/zelvanor-kill-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
"$SAMPLE" --size weekend --seed 5 --out "$WORK/weekend" > /dev/null
"$SAMPLE" --size season --seed 3 --out "$WORK/season" > /dev/null
SEASON=("$WORK/season/kisi.lzh" "$WORK/season/chok.lzh" "$WORK/season/umaj.lzh"
        "$WORK/season/sei1.lzh")

# One line per table and database: "db table hash", the hash over the table's rows sorted
# (a compaction may renumber rows), so equal contents give equal lines. One sqlite3 run per
# database: a season has hundreds of meeting tables.
snapshot() {
  local dir=$1 db
  for db in mast.mdb tran.mdb; do
    [ -f "$dir/$db" ] || continue
    sqlite3 -batch "$dir/$db" "SELECT name FROM sqlite_schema WHERE type='table' ORDER BY name" |
      while IFS= read -r table; do
        printf '.print @@table %s\nSELECT * FROM "%s";\n' "$table" "${table//\"/\"\"}"
      done |
      sqlite3 -batch -cmd '.mode quote' "$dir/$db" |
      awk -v db="$db" '
        function finish() { if (name != "") { printf "%s %s ", db, name; fflush(); close(hash) } }
        BEGIN { hash = "LC_ALL=C sort | sha256sum | cut -c1-16" }
        /^@@table / { finish(); name = substr($0, 9); print name | hash; next }
        { print | hash }
        END { finish() }'
  done
}

integrity() {
  local dir=$1 db result
  for db in mast.mdb tran.mdb; do
    [ -f "$dir/$db" ] || continue
    result=$(sqlite3 -batch "$dir/$db" "PRAGMA integrity_check" 2>&1) || true
    if [ "$result" != "ok" ]; then echo "$db: $result"; return 1; fi
  done
}

# What a finished import may leave in the data folder.
leftovers() {
  find "$1" -mindepth 1 -maxdepth 1 \
    ! -name mast.mdb ! -name tran.mdb ! -name mast.bak ! -name .zelvanor.lock \
    ! -name 'JRA#UMAJ.DAT' ! -name 'JRA#DEN1.DAT' ! -name 'JRA#SEI1.DAT' \
    ! -name 'JRA#KISI.DAT' ! -name 'JRA#CHOK.DAT' -printf '%f\n'
}

# The state before, then after each file of the season import, each file imported on its own
# in the order the import takes them.
mkdir -p "$WORK/base"
"$CLI" --data "$WORK/base" import "$WORK"/weekend/*.lzh > /dev/null 2>&1
snapshot "$WORK/base" > "$WORK/states"
cp -a "$WORK/base" "$WORK/ref"
for archive in "${SEASON[@]}"; do
  "$CLI" --data "$WORK/ref" import "$archive" > /dev/null 2>&1
  snapshot "$WORK/ref" >> "$WORK/states"
done
sort -u "$WORK/states" -o "$WORK/states"
snapshot "$WORK/ref" | sort > "$WORK/final"

# How long a whole import takes here, to spread the kills over it.
cp -a "$WORK/base" "$WORK/timed"
start=$(date +%s%N)
"$CLI" --data "$WORK/timed" import "${SEASON[@]}" > /dev/null 2>&1
duration=$(( $(date +%s%N) - start ))
rm -rf "$WORK/timed"
echo "season import: $((duration / 1000000)) ms; killing it at $KILLS moments"

failures=0
fail() { echo "kill $1: $2"; failures=$((failures + 1)); }

kill_at() {  # kill_at DIR NANOSECONDS COMMAND...
  local dir=$1 after=$2; shift 2
  "$@" > "$dir.log" 2>&1 &
  local pid=$!
  sleep "$(printf '0.%09d' "$after")"
  kill -9 "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
}

survived=0
for ((k = 1; k <= KILLS; k++)); do
  dir="$WORK/run$k"
  cp -a "$WORK/base" "$dir"
  kill_at "$dir" $(( duration * k / (KILLS + 1) )) "$CLI" --data "$dir" import "${SEASON[@]}"
  if ! problem=$(integrity "$dir"); then fail "$k" "$problem"; rm -rf "$dir"; continue; fi
  mixed=$(snapshot "$dir" | LC_ALL=C sort | comm -23 - "$WORK/states")
  if [ -n "$mixed" ]; then fail "$k" "tables in no state before or after a file: $mixed"; fi
  if ! "$CLI" --data "$dir" import "${SEASON[@]}" > "$dir.log" 2>&1; then
    fail "$k" "the import after the kill failed: $(tail -3 "$dir.log")"
  elif ! diff -q <(snapshot "$dir" | sort) "$WORK/final" > /dev/null; then
    fail "$k" "the import after the kill did not reach the complete state"
  fi
  left=$(leftovers "$dir")
  if [ -n "$left" ]; then fail "$k" "left behind: $left"; else survived=$((survived + 1)); fi
  rm -rf "$dir" "$dir.log"
done
echo "imports: $survived of $KILLS kills left consistent databases and nothing behind"

# Compaction: a season's mast.mdb, a jockey import that ends by compacting it.
cp -a "$WORK/ref" "$WORK/compact-base"
cp -a "$WORK/compact-base" "$WORK/timed"
start=$(date +%s%N)
"$CLI" --data "$WORK/timed" import "$WORK/season/kisi.lzh" > /dev/null 2>&1
duration=$(( $(date +%s%N) - start ))
rm -rf "$WORK/timed"
compacted=0
for ((k = 1; k <= KILLS; k++)); do
  dir="$WORK/compact$k"
  cp -a "$WORK/compact-base" "$dir"
  kill_at "$dir" $(( duration * k / (KILLS + 1) )) \
    "$CLI" --data "$dir" import "$WORK/season/kisi.lzh"
  if ! problem=$(integrity "$dir"); then fail "compaction $k" "$problem"
  elif ! "$CLI" --data "$dir" tables > /dev/null 2>&1; then fail "compaction $k" "mast.mdb does not open"
  else compacted=$((compacted + 1)); fi
  rm -rf "$dir" "$dir.log"
done
echo "compaction: $compacted of $KILLS kills left mast.mdb whole"

[ "$failures" -eq 0 ]
