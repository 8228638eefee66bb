#!/usr/bin/env bash
# Measures the main commands on generated ledgers of 1 000, 10 000 and
# 100 000 bookings (fixed seed) in a release build, and prints one table:
# seconds and peak resident memory per command, the case file size, and the
# import against its floor (the same rows written by a minimal program with
# one prepared statement per table in one transaction).
#   scripts/bench.sh [SIZES...]     default: 1000 10000 100000
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
build="${BENCH_BUILD_DIR:-$here/build-release}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target dalvo importfloor >/dev/null
dalvo="$build/dalvo"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(1000 10000 100000)

# Runs a command, prints "seconds peakMB" of it.
mess() {
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
    awk '{ printf "%.2f %.0f", $1, $2 / 1024 }' "$work/time"
}

printf '%-9s %-22s %9s %9s\n' "Buchungen" "Befehl" "Sekunden" "MB (RSS)"
for n in "${sizes[@]}"; do
    fall="$work/g$n.dalvo"
    ziel="$work/i$n.dalvo"
    csv="$work/g$n.csv"
    "$dalvo" new "$fall" --year 2016 --no-examples
    "$dalvo" new "$ziel" --year 2016 --no-examples
    declare -A r=()
    r[generate]=$(mess "$dalvo" generate "$fall" --bookings "$n" --seed 1)
    r[export-csv]=$(mess "$dalvo" export-csv "$fall" "$csv")
    r[import]=$(mess "$dalvo" import "$ziel" "$csv")
    r[ustva --year]=$(mess "$dalvo" ustva "$fall" --year --json)
    r[euer]=$(mess "$dalvo" euer "$fall" --json)
    r[saldenliste --csv]=$(mess "$dalvo" saldenliste "$fall" --csv)
    r[laden (info)]=$(mess "$dalvo" info "$fall")
    r[laden+speichern (book)]=$(mess "$dalvo" book "$fall" --kind einnahme --date 31.12.2016 --amount 1 --account 1200 --counter 8400)
    for c in generate export-csv import "ustva --year" euer "saldenliste --csv" "laden (info)" "laden+speichern (book)"; do
        read -r s m <<<"${r[$c]}"
        printf '%-9s %-22s %9s %9s\n' "$n" "$c" "$s" "$m"
    done
    floor=$("$build/importfloor" "$ziel" "$build/data/belka16.db3" | awk '{print $1}')
    read -r imp _ <<<"${r[import]}"
    printf '%-9s %-22s %9s %9s\n' "$n" "SQLite-Untergrenze" "$floor" "-"
    printf '%-9s %-22s %9s\n' "$n" "import / Untergrenze" "$(awk -v a="$imp" -v b="$floor" 'BEGIN { printf "%.1f", (b > 0 ? a / b : 0) }')"
    printf '%-9s %-22s %9s\n' "$n" "Falldatei (MB)" "$(awk -v s="$(stat -c %s "$fall")" 'BEGIN { printf "%.1f", s / 1048576 }')"
done
