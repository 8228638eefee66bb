#!/usr/bin/env bash
# Measures every command that reads or writes the ledger on generated cases
# (fixed seeds) in a release build: seconds and peak resident memory per
# command and size, then the growth of each from one size to the next.
#   scripts/bench_befehle.sh [SIZES...]     default: 10000 100000
#   scripts/bench_befehle.sh 10000 100000 1000000
# A case of N bookings (generate, 15 % of them in cash) gets, from 100 000
# bookings on, 10 000 invoices (four in five paid), 500 monthly recurring
# templates and a CAMT statement of 50 000 transactions for its bank
# account (a tenth of those at 10 000 bookings). A writing command runs on a
# copy of the case, so every command sees the same case. A command still
# running after BENCH_LIMIT seconds (default 300) is stopped and shown as
# such; a command that exits with anything but 0 is shown as "Fehler(N)",
# not as a measurement. Used by scripts/bench.sh; runs on its own as well.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$here/build-release}"
limit="${BENCH_LIMIT:-300}"
if [ -z "${BENCH_KEIN_BAU:-}" ]; then
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j2 --target dalvo benchdaten >/dev/null
fi
dalvo="$build/dalvo"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(10000 100000)
iban=DE89370400440532013000

declare -A sek=() mb=() bekannt=()
befehle=()

# mess NAME CMD...: runs the command (its output to a file), records seconds
# and peak MB under NAME for the current size $n.
mess() {
    local name="$1"
    shift
    # Names hold spaces ("bericht journal" beside "bericht journal --csv"):
    # known ones are looked up by name, not in the joined list.
    [ -n "${bekannt[$name]:-}" ] || { befehle+=("$name"); bekannt["$name"]=1; }
    local rc=0
    timeout "$limit" /usr/bin/time -f "%e %M" -o "$work/time" "$@" >"$work/out" 2>"$work/err" || rc=$?
    if [ "$rc" -eq 124 ]; then
        sek["$name|$n"]=">$limit"
        mb["$name|$n"]="-"
    elif [ "$rc" -ne 0 ]; then
        # A refusal (1) is a failure as much as a crash: its time measures
        # nothing the command was asked to do.
        echo "bench: $name ($n) endete mit $rc:" >&2
        head -c 2000 "$work/err" >&2
        sek["$name|$n"]="Fehler($rc)"
        mb["$name|$n"]="-"
    else
        read -r s k < <(tail -n 1 "$work/time")
        sek["$name|$n"]="$s"
        mb["$name|$n"]=$(awk -v k="$k" 'BEGIN { printf "%.0f", k / 1024 }')
    fi
    printf '%-9s %-34s %9s %9s\n' "$n" "$name" "${sek[$name|$n]}" "${mb[$name|$n]}"
}

# schreibend NAME CMD... with FALL standing for a fresh copy of the case.
schreibend() {
    local name="$1"
    shift
    cp "$fall" "$work/kopie.dalvo"
    local args=()
    for a in "$@"; do args+=("${a//FALL/$work/kopie.dalvo}"); done
    mess "$name" "${args[@]}"
    rm -f "$work/kopie.dalvo"
}

printf '%-9s %-34s %9s %9s\n' "Buchungen" "Befehl" "Sekunden" "MB (RSS)"
for n in "${sizes[@]}"; do
    fall="$work/f$n.dalvo"
    rechnungen=$((n >= 100000 ? 10000 : n / 10))
    vorlagen=$((n >= 100000 ? 500 : 50))
    umsaetze=$((n >= 100000 ? 50000 : 5000))
    "$dalvo" new "$fall" --year 2016 --no-examples 2>/dev/null
    mess "generate" "$dalvo" generate "$fall" --bookings "$n" --seed 1
    "$build/benchdaten" "$fall" --rechnungen "$rechnungen" --vorlagen "$vorlagen" --camt "$work/auszug.xml" --iban "$iban" \
        --umsaetze "$umsaetze" --seed 1 >/dev/null
    "$dalvo" bank "$fall" add --konto 1200 --iban "$iban" >/dev/null
    # What an invoice as PDF (with its XRechnung) needs of the own firm.
    "$dalvo" firma "$fall" --name "Muster GmbH" --strasse "Hauptstraße 1" --plz 10115 --ort Berlin --steuernummer 1123456789 \
        --ustid DE123456789 --kontakt "Erika Muster" --telefon "030 123456" --email buero@muster.example --iban DE02120300000000202051 \
        --bic BYLADEM1001 --bank "Beispielbank" >/dev/null
    # The statement is imported once into the case itself, so that the
    # commands on transactions find them; the copy measures the import.
    schreibend "bank import" "$dalvo" bank FALL import "$work/auszug.xml" --yes
    "$dalvo" bank "$fall" import "$work/auszug.xml" --yes >/dev/null 2>&1
    "$dalvo" export-csv "$fall" "$work/buchungen.csv" >/dev/null 2>&1

    mess "info" "$dalvo" info "$fall" --json
    mess "accounts" "$dalvo" accounts "$fall" --json
    mess "keys" "$dalvo" keys "$fall" --json
    mess "status" "$dalvo" status "$fall"
    mess "status --json" "$dalvo" status "$fall" --json
    mess "getkont GEWINN" "$dalvo" getkont "$fall" GEWINN
    mess "list" "$dalvo" list "$fall"
    mess "list --json" "$dalvo" list "$fall" --json
    mess "verify" "$dalvo" verify "$fall"
    mess "ustva --year" "$dalvo" ustva "$fall" --year --json
    mess "ustva --month 12" "$dalvo" ustva "$fall" --month 12
    mess "euer" "$dalvo" euer "$fall" --json
    mess "zm --quarter 4" "$dalvo" zm "$fall" --quarter 4 --csv
    mess "saldenliste" "$dalvo" saldenliste "$fall"
    mess "saldenliste --csv" "$dalvo" saldenliste "$fall" --csv
    mess "berechnung" "$dalvo" berechnung "$fall" -
    mess "kassenbuch" "$dalvo" kassenbuch "$fall"
    mess "kassenbuch --csv" "$dalvo" kassenbuch "$fall" --csv
    mess "kassenbuch --json" "$dalvo" kassenbuch "$fall" --json
    mess "kassenbuch --pdf" env QT_QPA_PLATFORM=offscreen "$dalvo" kassenbuch "$fall" --pdf -
    for b in journal ustliste kontenplan beleganalyse buchungszeiten euer-vergleich sperrgrenzen zm belege vorlagen kunden; do
        mess "bericht $b --csv" "$dalvo" bericht "$fall" "$b" --csv
    done
    mess "bericht kontenabfrage --csv" "$dalvo" bericht "$fall" kontenabfrage --konto 1000-1299 --csv
    mess "bericht betragsanalyse --csv" "$dalvo" bericht "$fall" betragsanalyse --konto 4930 --csv
    mess "bericht journal" "$dalvo" bericht "$fall" journal
    mess "bericht journal --json" "$dalvo" bericht "$fall" journal --json
    mess "bericht journal --pdf" env QT_QPA_PLATFORM=offscreen "$dalvo" bericht "$fall" journal --pdf -
    mess "bericht kontenabfrage --pdf" env QT_QPA_PLATFORM=offscreen "$dalvo" bericht "$fall" kontenabfrage --konto 1000-1299 --pdf -
    mess "export-csv" "$dalvo" export-csv "$fall" -
    mess "rechnung list" "$dalvo" rechnung "$fall" list
    mess "rechnung list --json" "$dalvo" rechnung "$fall" list --json
    mess "rechnung show" "$dalvo" rechnung "$fall" show RE-2016-0001
    mess "rechnung pdf" env QT_QPA_PLATFORM=offscreen "$dalvo" rechnung "$fall" pdf RE-2016-0001 -
    mess "kunde list" "$dalvo" kunde "$fall" list
    mess "artikel liste" "$dalvo" artikel "$fall" liste
    mess "angebot liste" "$dalvo" angebot "$fall" liste
    mess "mahnung liste" "$dalvo" mahnung "$fall" liste
    mess "erinnerungen" "$dalvo" erinnerungen "$fall"
    mess "einstellungen" "$dalvo" einstellungen "$fall" --json
    mess "kasse" "$dalvo" kasse "$fall"
    mess "bericht kontenabfrage --json" "$dalvo" bericht "$fall" kontenabfrage --json
    mess "vorlage list" "$dalvo" vorlage "$fall" list
    mess "regelbuchungen" "$dalvo" regelbuchungen "$fall" --stichtag 31.12.2016
    mess "bank list" "$dalvo" bank "$fall" list
    mess "bank umsaetze" "$dalvo" bank "$fall" umsaetze
    mess "bank vorschlaege" "$dalvo" bank "$fall" vorschlaege

    schreibend "book" "$dalvo" book FALL --kind einnahme --date 31.12.2016 --amount 1 --account 1200 --counter 8400
    schreibend "cancel" "$dalvo" cancel FALL 5 --yes
    schreibend "delete" "$dalvo" delete FALL 7 --yes
    schreibend "lock" "$dalvo" lock FALL 31.01.2016
    schreibend "kassenabschluss" "$dalvo" kassenabschluss FALL --datum 31.01.2016 --gezaehlt 0,00 --gegenkonto 4930 --yes
    schreibend "regelbuchungen --alle" "$dalvo" regelbuchungen FALL --alle --stichtag 31.12.2016 --yes
    schreibend "rechnung neu" "$dalvo" rechnung FALL neu --kunde K0001 --datum 30.12.2016 --yes
    schreibend "bank uebernehmen --alle" "$dalvo" bank FALL uebernehmen --alle --yes
    schreibend "saldovortrag --konto" "$dalvo" saldovortrag FALL --konto 1200 --betrag 100 --yes
    # (jahreswechsel is left out: the cases are of 2016, the last year the
    # program knows.)
    mkdir -p "$work/kasse"
    schreibend "kasse-export" "$dalvo" kasse-export FALL --konto 1000 --ziel "$work/kasse" --name bench --ersetzen
    rm -rf "$work/kasse"
    "$dalvo" new "$work/leer.dalvo" --year 2016 --no-examples 2>/dev/null
    mess "import" "$dalvo" import "$work/leer.dalvo" "$work/buchungen.csv" --yes
    rm -f "$fall" "$work/leer.dalvo" "$work/auszug.xml" "$work/buchungen.csv"
done

# The growth of each command from one size to the next.
[ ${#sizes[@]} -lt 2 ] && exit 0
echo
kopf=$(printf '%-34s' "Befehl")
for ((i = 1; i < ${#sizes[@]}; i++)); do kopf+=$(printf ' %18s' "${sizes[i-1]}→${sizes[i]} s/MB"); done
echo "$kopf"
for c in "${befehle[@]}"; do
    zeile=$(printf '%-34s' "$c")
    for ((i = 1; i < ${#sizes[@]}; i++)); do
        a="${sek[$c|${sizes[i-1]}]:-}" b="${sek[$c|${sizes[i]}]:-}" ma="${mb[$c|${sizes[i-1]}]:-}" mbb="${mb[$c|${sizes[i]}]:-}"
        zeile+=$(awk -v a="$a" -v b="$b" -v ma="$ma" -v mb="$mbb" 'BEGIN {
            t = (a + 0 > 0 && b ~ /^[0-9.]+$/) ? sprintf("%.1f×", b / a) : "-"
            m = (ma + 0 > 0 && mb ~ /^[0-9.]+$/) ? sprintf("%.1f×", mb / ma) : "-"
            printf " %18s", t "/" m }')
    done
    echo "$zeile"
done
