#!/usr/bin/env bash
# --export of N orders beside its floor in the same run: the sqlite3 tool
# writing the same rows in the same order to a CSV file (`sqlite3 -csv
# -header` of the export's statement, sql::exported in
# src/data/statements.h; the plain SELECT without the order is printed to
# stderr), and, with --server, the export from a private PostgreSQL server
# beside `psql \copy` of the same rows. The orders span several years, with gaps in the numbering,
# numbers of different lengths and texts that need quoting. One line per
# figure:
#   export <rows> <trelok_s> <floor_s> <ratio> <peak_MB>
#   export-server <rows> <trelok_s> <floor_s> <ratio> <peak_MB>
# peak_MB is trelok's peak resident memory. With --table, each line is also
# given as a row of bench/run_all.sh's table.
# Usage: bench/bench_export.sh [--build DIR] [--program TRELOK] [--server] [--table] ROWS...
#        (default: 100000; --program measures another build of trelok)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build program= server=0 table=0 sizes=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift ;;
    --program) program=$2; shift ;;
    --server) server=1 ;;
    --table) table=1 ;;
    *) sizes+=("$1") ;;
  esac
  shift
done
[ ${#sizes[@]} -gt 0 ] || sizes=(100000)
trelok=$(realpath "${program:-$build/src/trelok}")
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
state=$work/server
cleanup() {
  [ -f "$state/url" ] && python3 tests/pg_server.py stop "$state" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
columns="TRELOK_BR,NALOG1,NALOG2,BNK_NAL,SM_NAL,DAN_BR,POVIK,CEL1,CEL2,PRIMAC1,PRIMAC2,BNK_PRIM,\
SMET_PRI,MKD_CEL,MKD_DEC,UP_SMET1,UP_SMET2,UP_SMET3,BU_SMET1,BU_SMET2,BU_SMET3,PR_SIF1,PR_SIF2,\
NACIN,DATUM,MESTO,VID,VALUTA"

# Seconds and peak resident kilobytes of a command: "SECONDS KB".
# Standard output goes to $work/floor.csv.
measure() {
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >"$work/floor.csv"
  cat "$work/time"
}

line() { # name rows trelok_s floor_s peak_kb
  local ratio peak
  ratio=$(awk -v a="$3" -v b="$4" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  peak=$(awk -v k="$5" 'BEGIN { printf "%.1f", k / 1024 }')
  echo "$1 $2 $3 $4 $ratio $peak"
  if [ "$table" = 1 ]; then
    local what="--export of $2 orders" floor="sqlite3 -csv -header"
    [ "$1" = export-server ] && what="server: --export of $2 orders" floor="psql \\copy"
    printf 'ROW|%s (peak %s MB)|%.2f s|%s of the same rows %.2f s|%s\n' \
      "$what" "$peak" "$3" "$floor" "$4" "$ratio"
  fi
}

for rows in "${sizes[@]}"; do
  app=$work/app$rows
  # The first start installs the directory; its export is of no orders.
  "$trelok" --dir "$app" --export "$work/empty.csv" >/dev/null 2>&1
  block=$((rows / 6 + 1))
  sqlite3 "$app/trelok.db" <<EOF
WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < $rows)
INSERT INTO tbl_Trel ($columns)
SELECT ((i % $block) * 8 / 7 + 1) || '/' || (2019 + i / $block),
  'Firma ' || i || ' DOOEL', 'ul. Partizanska, br. ' || (i % 200), 'Stopanska banka',
  '300000000' || (i % 1000), '4030999' || i, '108-2026-1010-' || i, 'Carina "za" ' || i,
  CASE WHEN i % 7 = 0 THEN ' so blanko ' WHEN i % 11 = 0 THEN 'dva' || char(13, 10) || 'reda'
       ELSE 'Uplata' END,
  'Carinska uprava', 'Skopje', 'NBRM', '100000000063095', (i % 100000) || ',00', '00', '004',
  '1010', '', '840', '', '', '', '', '2', '08.12.2026', 'Скопје', '108', '08.12.2026'
FROM c;
EOF
  read -r plain _ < <(measure sqlite3 -csv -header "$app/trelok.db" "SELECT $columns FROM tbl_trel")
  read -r floor _ < <(measure sqlite3 -csv -header "$app/trelok.db" "SELECT $columns FROM tbl_trel \
ORDER BY CASE instr(trelok_br,'/') WHEN 0 THEN '' ELSE rtrim(substr(trelok_br,instr(trelok_br,'/')+1)) \
END,CAST(trelok_br AS REAL),trelok_br,rowid")
  read -r took peak < <(measure "$trelok" --dir "$app" --export "$work/out.csv")
  line export "$rows" "$took" "$floor" "$peak"
  echo "(sqlite3 without the order: $plain s)" >&2
  rm -f "$work/out.csv" "$work/floor.csv"

  [ "$server" = 1 ] || continue
  if [ ! -f "$state/url" ]; then
    TRELOK_PG_FSYNC=on python3 tests/pg_server.py start "$state" >/dev/null
    [ -f "$state/url" ] || { echo "no server: $(cat "$state/skipped" 2>/dev/null)" >&2; exit 1; }
  fi
  url=$(cat "$state/url")
  socket=${url##*host=}
  psql=(psql -h "$socket" -U trelok -q -v ON_ERROR_STOP=1)
  "${psql[@]}" -d postgres -c "DROP DATABASE IF EXISTS export$rows" -c "CREATE DATABASE export$rows"
  dburl="postgresql://trelok@/export$rows?host=$socket"
  # Installs the server database, then the same rows as the file's.
  "$trelok" --dir "$work/ws$rows" --db "$dburl" --export "$work/empty.csv" >/dev/null 2>&1
  sqlite3 -csv -header "$app/trelok.db" "SELECT $columns FROM tbl_trel" >"$work/rows.csv"
  "${psql[@]}" -d "export$rows" -c "\\copy tbl_trel ($columns) FROM '$work/rows.csv' CSV HEADER"
  rm -f "$work/rows.csv"
  read -r floor _ < <(measure "${psql[@]}" -d "export$rows" \
    -c "\\copy (SELECT $columns FROM tbl_trel ORDER BY CASE strpos(coalesce(trelok_br,''),'/') \
WHEN 0 THEN '' ELSE rtrim(substr(trelok_br,strpos(trelok_br,'/')+1)) END COLLATE \"C\",\
coalesce(CAST(substring(trelok_br from '^ *([0-9]+)') AS double precision),0),\
coalesce(trelok_br,'') COLLATE \"C\") TO '$work/copy.csv' CSV HEADER")
  read -r took peak < <(measure "$trelok" --dir "$work/ws$rows" --db "$dburl" \
    --export "$work/out.csv")
  line export-server "$rows" "$took" "$floor" "$peak"
  rm -f "$work/out.csv" "$work/floor.csv" "$work/copy.csv"
done
