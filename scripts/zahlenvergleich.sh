#!/usr/bin/env bash
# Every figure of two builds side by side: the sample year and a generated
# ledger, booked once with the first program and read by both, so a change
# of the arithmetic shows as a difference in any report the tax office or
# the bookkeeper sees (ledger, VAT return of every month and quarter and of
# the year, profit, balance list, recapitulative statement, CSV export, the
# report lists).
#
#   scripts/zahlenvergleich.sh VORHER NACHHER [BUCHUNGEN]
#
# VORHER and NACHHER are dalvo programs (the unchanged one first). BUCHUNGEN
# is the size of the generated ledger (100000 unless given). Exit 0 when all
# outputs are byte for byte equal; else the differing outputs are named and
# kept in the work directory ($ZAHLEN_DIR, a temporary one by default).
set -euo pipefail
[ $# -ge 2 ] || { echo "Aufruf: $0 VORHER NACHHER [BUCHUNGEN]" >&2; exit 2; }
vorher="$1"
nachher="$2"
anzahl="${3:-100000}"
here="$(cd "$(dirname "$0")/.." && pwd)"
arbeit="${ZAHLEN_DIR:-$(mktemp -d)}"
mkdir -p "$arbeit"

# The cases, made by the first program only: both read the same files. A
# work directory given again keeps its cases (generating is the slow part).
muster="$arbeit/muster.dalvo"
gross="$arbeit/gross_$anzahl.dalvo"
if [ ! -f "$muster" ]; then
    "$vorher" new "$muster" --year 2016 --chart SKR03 --no-examples
    "$vorher" einstellungen "$muster" --anmeldezeitraum monat --dauerfrist ja
    "$vorher" import "$muster" "$here/data/samples/musterfall_2016.csv" >/dev/null
    "$vorher" cancel "$muster" 269 >/dev/null
fi
if [ ! -f "$gross" ]; then
    "$vorher" new "$gross" --year 2016 --chart SKR03
    "$vorher" generate "$gross" --bookings "$anzahl" --seed 1 >/dev/null
fi

# One output file per command; the case files are copied so that neither
# program can change what the other reads.
lauf() {
    local prog="$1" fall="$2" ziel="$3"
    local kopie="$ziel/$(basename "$fall")"
    cp "$fall" "$kopie"
    local n=0
    while IFS= read -r befehl; do
        n=$((n + 1))
        local name
        name="$(printf '%03d_%s' "$n" "${befehl// /_}")"
        # shellcheck disable=SC2086
        "$prog" ${befehl/FALL/$kopie} >"$ziel/$name.out" 2>&1 || true
    done < <(befehle)
}

befehle() {
    echo "list FALL --json"
    echo "list FALL"
    echo "info FALL --json"
    echo "kassenbuch FALL --csv"
    echo "kassenbuch FALL --month 1"
    for m in $(seq 1 12); do echo "ustva FALL --month $m"; echo "ustva FALL --month $m --json"; done
    for q in 1 2 3 4; do
        echo "ustva FALL --quarter $q"; echo "ustva FALL --quarter $q --json"
        echo "zm FALL --quarter $q --csv"
    done
    echo "ustva FALL --year"
    echo "ustva FALL --year --json"
    echo "euer FALL --json"
    echo "euer FALL"
    echo "saldenliste FALL --csv"
    echo "export-csv FALL -"
    echo "verify FALL"
    for liste in journal ustliste euer-vergleich sperrgrenzen moss zm beleganalyse buchungszeiten; do
        echo "bericht FALL $liste --csv"
    done
    echo "bericht FALL kontenabfrage --konto 1000-1999 --csv"
    echo "bericht FALL betragsanalyse --konto 4930 --csv"
}

unterschiede=0
for fall in "$muster" "$gross"; do
    for seite in vorher nachher; do
        ziel="$arbeit/$(basename "$fall" .dalvo).$seite"
        rm -rf "$ziel"
        mkdir -p "$ziel"
        if [ "$seite" = vorher ]; then lauf "$vorher" "$fall" "$ziel"; else lauf "$nachher" "$fall" "$ziel"; fi
        # Messages may name the copy; its folder differs between the sides.
        sed -i "s|$ziel|FALL|g" "$ziel"/*.out
    done
    a="$arbeit/$(basename "$fall" .dalvo).vorher"
    b="$arbeit/$(basename "$fall" .dalvo).nachher"
    for f in "$a"/*.out; do
        if ! cmp -s "$f" "$b/$(basename "$f")"; then
            echo "verschieden: $(basename "$fall") $(basename "$f" .out)"
            unterschiede=$((unterschiede + 1))
        fi
    done
    echo "$(basename "$fall"): $(ls "$a"/*.out | wc -l) Ausgaben verglichen"
done
echo "Arbeitsverzeichnis: $arbeit"
[ "$unterschiede" -eq 0 ] && echo "Alle Zahlen gleich." || { echo "$unterschiede Ausgaben verschieden." >&2; exit 1; }
