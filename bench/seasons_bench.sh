#!/usr/bin/env bash
# Many seasons in one data folder: imports SEASONS generated seasons one after another with
# zelvanor-cli, as a user keeping every season would, and prints for each season the import's
# time, the time of a bare SQLite insert of the very rows that season's import left behind, the
# database sizes and the size of the record files imported so far.
#
#   bench/seasons_bench.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build-bench beside this folder (configure it Release). Needs the sqlite3
# shell (apt-get install -y --no-install-recommends sqlite3). SEASONS (default 10) and WORK
# (default /tmp/seasons-bench-run) may be set in the environment; the generated seasons are kept
# in WORK and reused, the data folder is made anew on every run.
#
# The bare insert: the rows of the season's new race and entries tables, 競走馬, 騎手マスタ and
# 調教師マスタ copied row by row (INSERT … SELECT … WHERE 1, which SQLite cannot turn into a page
# copy) into plain tables of a fresh file (all race rows in one, all entries rows in another), no
# indexes, one transaction; timed inside the sqlite3 shell after the source schemas are read, so
# that only the inserts count.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build-bench}
build=$(cd "$build" && pwd)
seasons=${SEASONS:-10}
work=${WORK:-/tmp/seasons-bench-run}

sample_tool=$build/tools/zelvanor-sample
cli=$build/src/cli/zelvanor-cli
for tool in "$sample_tool" "$cli"; do
    if [[ ! -x $tool ]]; then
        echo "missing $tool; build it first:" >&2
        echo "  cmake --build $build --target zelvanor-cli zelvanor-sample" >&2
        exit 2
    fi
done
command -v sqlite3 > /dev/null || { echo "needs the sqlite3 shell" >&2; exit 2; }

src=$work/seasons-$seasons
if [[ ! -f $src/.complete ]]; then
    rm -rf "$src"
    "$sample_tool" --seasons "$seasons" --out "$src" > /dev/null
    touch "$src/.complete"
fi
data=$work/data
rm -rf "$data" "$work/bare.mdb"
mkdir -p "$data"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
mib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
tables() { sqlite3 "$1" "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name"; }

# The bare insert of the tables given on stdin (db.table per line), timed by the shell itself:
# every race table's rows into one plain table, every entries table's into another, each master
# into one of its own.
bare_insert() {
    local sql=$work/bare.sql
    rm -f "$work/bare.mdb"
    {
        echo "ATTACH '$data/tran.mdb' AS tran; ATTACH '$data/mast.mdb' AS mast;"
        echo "SELECT count(*) FROM tran.sqlite_schema; SELECT count(*) FROM mast.sqlite_schema;"
        local -A made=()
        local rows=""
        while read -r qualified; do
            local db=${qualified%%.*} table=${qualified#*.}
            # Race tables into "D", entries tables into "U", a master into a table of its own.
            local into=$table
            [[ $db == tran ]] && into=${table:0:1}
            if [[ -z ${made[$into]:-} ]]; then
                # Its columns with their types, and nothing else: no key, no constraint.
                echo "CREATE TABLE main.\"b$into\" AS SELECT * FROM $db.\"$table\" WHERE 0;"
                made[$into]=1
            fi
            rows+="INSERT INTO main.\"b$into\" SELECT * FROM $db.\"$table\" WHERE 1;"$'\n'
        done
        echo ".timer on"
        echo "BEGIN;"
        printf '%s' "$rows"
        echo "COMMIT;"
    } > "$sql"
    sqlite3 "$work/bare.mdb" < "$sql" | awk '/^Run Time/ { s += $4 } END { printf "%d", s * 1000 }'
    rm -f "$sql"
}

printf '%-6s %9s %9s %6s %6s %9s %9s %10s %6s\n' season import_ms bare_ms ratio vs_1st \
    tran_MiB mast_MiB records_MiB tran/rec
records=0
first=
before=$(mktemp)
after=$(mktemp)
trap 'rm -f "$before" "$after"' EXIT
for folder in "$src"/*/; do
    season=$(basename "$folder")
    [[ -f $data/tran.mdb ]] && tables "$data/tran.mdb" > "$before" || : > "$before"
    sync
    start=$(now_ms)
    "$cli" --data "$data" import "$folder"kisi.lzh "$folder"chok.lzh "$folder"umaj.lzh \
        "$folder"sei1.lzh > /dev/null
    took=$(($(now_ms) - start))
    [[ -z $first ]] && first=$took
    tables "$data/tran.mdb" > "$after"
    bare=$({
        comm -13 "$before" "$after" | sed 's/^/tran./'
        printf 'mast.%s\n' 競走馬 騎手マスタ 調教師マスタ
    } | bare_insert)
    for f in "$folder"JRA#*.DAT; do records=$((records + $(stat -c %s "$f"))); done
    tran=$(stat -c %s "$data/tran.mdb")
    mast=$(stat -c %s "$data/mast.mdb")
    printf '%-6s %9d %9d %6.2f %6.2f %9s %9s %10s %6.2f\n' "$season" "$took" "$bare" \
        "$(awk -v a="$took" -v b="$bare" 'BEGIN { print a / b }')" \
        "$(awk -v a="$took" -v b="$first" 'BEGIN { print a / b }')" \
        "$(mib "$tran")" "$(mib "$mast")" "$(mib "$records")" \
        "$(awk -v a="$tran" -v b="$records" 'BEGIN { print a / b }')"
done
