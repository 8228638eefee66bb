#!/usr/bin/env bash
# Measures the main commands on generated ledgers (fixed seed) in a release
# build, and prints one table: seconds and peak resident memory per command,
# the case file size, the import against its floor (the same rows written by
# a minimal program with one prepared statement per table in one
# transaction), and the reports against the peers: the same ledger written
# as a ledger-cli journal and balanced by `ledger bal` (and `hledger bal`
# where hledger is installed) in the same run.
#   scripts/bench.sh [SIZES...]     default: 10000 100000
#   scripts/bench.sh 10000 100000 1000000
# Then scripts/bench_befehle.sh measures every other command on the same sizes.
# A million bookings is opt-in: about 5 minutes on the 2-core build machine
# (generate 45 s, import 60 s, ledger 2 x 25 s). hledger runs up to
# HLEDGER_MAX bookings (default 100000): it needs about 1 GB and 13 s per
# 100 000 bookings.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"

# The peers and the shell that reads the case database; only the benchmark
# needs them, so they are not in bootstrap.sh.
peers=()
for p in ledger hledger sqlite3; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || peers+=("$p")
done
if [ ${#peers[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    echo "bench: installing ${peers[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    # hledger is not packaged everywhere; ledger alone still gives the ratio.
    $SUDO apt-get install -y -qq --no-install-recommends "${peers[@]}" >/dev/null ||
        $SUDO apt-get install -y -qq --no-install-recommends ledger sqlite3 >/dev/null
fi
command -v ledger >/dev/null || { echo "bench: ledger fehlt" >&2; exit 1; }
hledger_max="${HLEDGER_MAX:-100000}"

build="${BENCH_BUILD_DIR:-$here/build-release}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target dalvo importfloor benchdaten >/dev/null
dalvo="$build/dalvo"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(10000 100000)

# Runs a command, prints "seconds peakMB" of it; its output is in $work/out.
mess() {
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >"$work/out" 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
    awk '{ printf "%.2f %.0f", $1, $2 / 1024 }' "$work/time"
}

# The posted bookings of case file $1 as a ledger-cli journal on $2: one
# transaction per booking with its voucher date, number and text, one
# posting per line (account number, debit positive, credit negative, two
# decimals), the bookings the reports leave out (cancelled ones and their
# cancellations) left out here too. The case file is the case's SQLite
# database, read read-only.
journal() {
    if [ "$(head -c 15 "$1")" != "SQLite format 3" ]; then
        echo "bench: $1 ist keine SQLite-Datenbank; das Journal wird direkt aus der Falldatei gelesen" >&2
        exit 1
    fi
    sqlite3 -readonly -batch -noheader -separator $'\t' "file:$1?mode=ro" \
        "SELECT b.Buchungsnummer, substr(b.Belegdatum, 1, 10),
                replace(replace(replace(ifnull(b.Buchungstext, ''), char(10), ' '), char(13), ' '), ';', ','),
                z.Konto, printf('%.2f', CASE WHEN z.Haben THEN -z.Betrag ELSE z.Betrag END)
           FROM eurVerbucht b JOIN eurVerbuchtBuchungszeilen z ON z.Buchungsnummer = b.Buchungsnummer
          WHERE b.Storno = 0 AND b.Storniert = 0
          ORDER BY b.Buchungsnummer, z.ID" |
        awk -F'\t' '$1 != n { n = $1; printf "\n%s (%s) %s\n", $2, $1, $3 } { printf "    %s  %s\n", $4, $5 }' >"$2"
}

# Every account's balance in ledger equals the balance list's (debit
# balance minus credit balance).
pruefe() {
    local j="$1" csv="$2"
    ledger -f "$j" bal --flat --empty --no-total --balance-format '%(account)\t%(quantity(scrub(display_total)))\n' >"$work/konten"
    awk -F'\t' 'NR == FNR { l[$1] = $2; next }
        {
            sub(/;"([^"]|"")*";/, ";-;")
            split($0, f, ";")
            for (i = 3; i <= 8; i++) { gsub(/\./, "", f[i]); sub(/,/, ".", f[i]) }
            s = f[8] - f[7]; n++
            d = s - (f[1] in l ? l[f[1]] : 0)
            if (d > 0.005 || d < -0.005) { printf "bench: Konto %s: Saldenliste %.2f, ledger %s\n", f[1], s, l[f[1]] > "/dev/stderr"; bad = 1 }
        }
        END { if (bad || n == 0) exit 1 }' "$work/konten" "$csv" ||
        { echo "bench: ledger und die Saldenliste weichen ab" >&2; exit 1; }
}

verhaeltnis() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }'; }

printf '%-9s %-22s %9s %9s\n' "Buchungen" "Befehl" "Sekunden" "MB (RSS)"
for n in "${sizes[@]}"; do
    fall="$work/g$n.dalvo"
    ziel="$work/i$n.dalvo"
    csv="$work/g$n.csv"
    jrn="$work/g$n.ledger"
    "$dalvo" new "$fall" --year 2016 --no-examples
    "$dalvo" new "$ziel" --year 2016 --no-examples
    declare -A r=()
    r[generate]=$(mess "$dalvo" generate "$fall" --bookings "$n" --seed 1)
    r[export-csv]=$(mess "$dalvo" export-csv "$fall" "$csv")
    # Generated cash days may dip below zero; the import would ask about it.
    r[import]=$(mess "$dalvo" import "$ziel" "$csv" --yes)
    r[ustva --year]=$(mess "$dalvo" ustva "$fall" --year --json)
    r[euer]=$(mess "$dalvo" euer "$fall" --json)
    r[saldenliste --csv]=$(mess "$dalvo" saldenliste "$fall" --csv)
    r[zm --quarter 4]=$(mess "$dalvo" zm "$fall" --quarter 4 --csv)
    r[laden (info)]=$(mess "$dalvo" info "$fall")
    # The peers read the same lines, before `book` adds one.
    journal "$fall" "$jrn"
    "$dalvo" saldenliste "$fall" --csv >"$work/salden$n.csv"
    pruefe "$jrn" "$work/salden$n.csv"
    r[ledger bal]=$(mess ledger -f "$jrn" bal)
    # The journal balances: ledger's total is 0.
    [ "$(tail -n 1 "$work/out" | tr -d ' ')" = "0" ] || { echo "bench: das Journal ist nicht ausgeglichen" >&2; tail -n 1 "$work/out" >&2; exit 1; }
    peers_cmds=("ledger bal")
    if command -v hledger >/dev/null && [ "$n" -le "$hledger_max" ]; then
        r[hledger bal]=$(mess hledger -f "$jrn" bal)
        peers_cmds+=("hledger bal")
    fi
    r[laden+speichern (book)]=$(mess "$dalvo" book "$fall" --kind einnahme --date 31.12.2016 --amount 1 --account 1200 --counter 8400)
    for c in generate export-csv import "ustva --year" euer "saldenliste --csv" "zm --quarter 4" "laden (info)" "laden+speichern (book)" "${peers_cmds[@]}"; do
        read -r s m <<<"${r[$c]}"
        printf '%-9s %-22s %9s %9s\n' "$n" "$c" "$s" "$m"
    done
    floor=$("$build/importfloor" "$ziel" "$build/data/belka16.db3" | awk '{print $1}')
    read -r imp _ <<<"${r[import]}"
    read -r led _ <<<"${r[ledger bal]}"
    printf '%-9s %-22s %9s %9s\n' "$n" "SQLite-Untergrenze" "$floor" "-"
    printf '%-9s %-22s %9s\n' "$n" "import / Untergrenze" "$(verhaeltnis "$imp" "$floor")"
    for c in "saldenliste --csv" "ustva --year" euer; do
        read -r s _ <<<"${r[$c]}"
        printf '%-9s %-22s %9s\n' "$n" "${c%% *}/ledger" "$(verhaeltnis "$s" "$led")"
    done
    printf '%-9s %-22s %9s\n' "$n" "Falldatei (MB)" "$(awk -v s="$(stat -c %s "$fall")" 'BEGIN { printf "%.1f", s / 1048576 }')"
    rm -f "$fall" "$ziel" "$csv" "$jrn" "$work/salden$n.csv"
done

# Every other command that reads or writes the ledger, on cases with
# invoices, recurring templates and bank transactions, and the growth of
# each from size to size.
echo
BENCH_KEIN_BAU=1 BENCH_BUILD_DIR="$build" "$here/scripts/bench_befehle.sh" "${sizes[@]}"
