#!/usr/bin/env bash
# The imports beside their floors, measured in the same run. One line per
# figure: <what> <rows> <trelok_s> <floor_s> <ratio> <peak_MB> <trelok_cpu_s>
#   import_orders_vs_commit_per_row   --import beside bare INSERTs, each committed
#   import_orders_vs_one_transaction  --import beside the same INSERTs in one transaction
#   import_orders_vs_before           --import beside the program given in BEFORE
#   import_taxpayers_vs_sqlite3       --import-taxpayers beside sqlite3 .import of the file
#   import_reading                    --import of a file cut off at its end (read, nothing stored)
# Usage: bench/bench_imports.sh [BUILD_DIR] [--million]
#   BEFORE=path/to/another/trelok adds that program's --import beside this one.
#   --million adds the register and the reading at 1,000,000 rows.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
trelok=$(realpath "$build/src/trelok")
orders=(1000 10000)
taxpayers=(100000)
reading=(100000)
if [ "${2:-}" = "--million" ]; then
  taxpayers+=(1000000)
  reading+=(1000000)
fi
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
year=$(date +%Y)

# Seconds, peak resident MB and processor seconds (user and system) of a
# command: "<s> <MB> <cpu_s>". On a loaded machine the processor time is
# the steadier figure.
measure() {
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f "%M %U %S" -o "$work/peak" "$@" >"$work/stdout" 2>"$work/stderr" || true
  end=$(date +%s.%N)
  read -r kb user system < <(tail -1 "$work/peak")
  echo "$(echo "$end - $start" | bc -l) $((kb / 1024)) $(echo "$user + $system" | bc -l)"
}

seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

line() { # what rows trelok_s floor_s peak_MB cpu_s
  awk -v w="$1" -v n="$2" -v t="$3" -v f="$4" -v m="$5" -v c="${6:-0}" \
    'BEGIN { printf "%s %d %.3f %.3f %.2f %d %.3f\n", w, n, t, f, (f > 0 ? t / f : 0), m, c }'
}

# An installation with the taxpayer the orders name.
"$trelok" --dir "$work/template" --export "$work/template/e.csv" >/dev/null 2>&1
sqlite3 "$work/template/trelok.db" "INSERT INTO tbl_obvr (dec_cod) VALUES ('4030999123456')"
fresh() { rm -rf "$work/app" && cp -r "$work/template" "$work/app"; }

for n in "${orders[@]}"; do
  awk -v n="$n" -v y="$year" 'BEGIN {
    print "VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,UP_SMET2,NACIN,DATUM,POVIK"
    for (i = 0; i < n; i++)
      printf "108,Firma %d,4030999123456,4030999123456,%d,00,004,2,08.12.%s,108-%s-1010-%d\r\n", i, i + 1, y, y, i
  }' >"$work/orders.csv"
  awk -v n="$n" 'BEGIN {
    for (i = 0; i < n; i++) {
      printf "INSERT INTO tbl_Trel VALUES (\x27%d/2026\x27", i + 1
      for (c = 1; c < 28; c++) printf ",\x27kolona %d\x27", c
      print ");"
    }
  }' >"$work/inserts.sql"
  { echo "BEGIN;"; cat "$work/inserts.sql"; echo "COMMIT;"; } >"$work/transaction.sql"
  fresh
  read -r t peak cpu < <(measure "$trelok" --dir "$work/app" --import "$work/orders.csv")
  [ "$(grep -c ': [0-9]*/' "$work/stdout")" -eq "$n" ] || { echo "import failed: $(head -3 "$work/stdout" "$work/stderr")" >&2; exit 1; }
  fresh
  each=$(seconds sqlite3 "$work/app/trelok.db" ".read $work/inserts.sql")
  fresh
  one=$(seconds sqlite3 "$work/app/trelok.db" ".read $work/transaction.sql")
  line import_orders_vs_commit_per_row "$n" "$t" "$each" "$peak" "$cpu"
  line import_orders_vs_one_transaction "$n" "$t" "$one" "$peak" "$cpu"
  if [ -n "${BEFORE:-}" ]; then
    fresh
    read -r b _ < <(measure "$BEFORE" --dir "$work/app" --import "$work/orders.csv")
    line import_orders_vs_before "$n" "$t" "$b" "$peak" "$cpu"
  fi
done

for n in "${taxpayers[@]}"; do
  awk -v n="$n" 'BEGIN {
    print "dec_cod,dec_nam,dec_ad3,dec_tlx"
    for (i = 0; i < n; i++)
      printf "%.0f,Firma %d DOOEL,\"ul. Partizanska, br. %d\",Skopje\n", 4000000000000 + i * 7919, i, i % 200
  }' >"$work/register.csv"
  fresh
  read -r t peak cpu < <(measure "$trelok" --dir "$work/app" --import-taxpayers "$work/register.csv")
  fresh
  # Into the same table, with the same indexes, as the program stores into.
  floor=$(seconds sqlite3 "$work/app/trelok.db" ".import --csv --skip 1 $work/register.csv tbl_obvr")
  line import_taxpayers_vs_sqlite3 "$n" "$t" "$floor" "$peak" "$cpu"
done

for n in "${reading[@]}"; do
  awk -v n="$n" 'BEGIN {
    print "VID,NALOG1,DAN_BR,CEL1,MKD_CEL,MKD_DEC,DATUM"
    for (i = 0; i < n; i++)
      printf "108,\"Firma %d, DOOEL\",4030999123456,4030999123456,%d,00,08.12.2026\n", i, i + 1
    print "108,\"never closed"
  }' >"$work/cut.csv"
  fresh
  read -r t peak cpu < <(measure "$trelok" --dir "$work/app" --import "$work/cut.csv")
  line import_reading "$n" "$t" 0 "$peak" "$cpu"
done
