#!/usr/bin/env bash
# Measures every command that reads or writes the ledger on generated cases
# (fixed seeds) in a release build: wall-clock and CPU seconds and peak
# resident memory per command and size, then the growth of each from one
# size to the next. The growth is given by both clocks: the wall clock also
# counts the waits for the disk (every writing command syncs the case),
# which vary with what the disk still has to write from the commands
# before, while the CPU time is the work the command does.
#   scripts/bench_befehle.sh [SIZES...]     default: 10000 100000
#   scripts/bench_befehle.sh 10000 100000 1000000
# A case of N bookings (generate, 15 % of them in cash) gets, from 100 000
# bookings on, 10 000 invoices (four in five paid), 500 monthly recurring
# templates and a CAMT statement of 50 000 transactions for its bank
# account (a tenth of those at 10 000 bookings; the same transactions as a
# Sparkasse CSV download for the CSV import), three assets, a current asset,
# a car by logbook and two incoming e-invoices. The cash installation's
# commands work on a cash case of its own with N generated bookings (see
# below). A writing command runs on a
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
eingang="$here/tests/daten/eingang"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(10000 100000)
iban=DE89370400440532013000
# A SEPA transfer is refused for a day in the past.
morgen=$(date -d tomorrow +%d.%m.%Y)

declare -A sek=() cpu=() mb=() bekannt=()
befehle=()

# mess NAME CMD...: runs the command (its output to a file), records seconds
# and peak MB under NAME for the current size $n. A command done in less
# than 20 s runs three times and the fastest run counts (wall clock and CPU
# each; memory the most of the runs): on a virtual machine a single run of
# the same command varies by a third from run to run, which is more than
# the growth the table is to show. $MESS_VORHER, when set, runs untimed
# before each run (a fresh copy of the case); MESS_LAEUFE=1 measures a
# command that changes what the next run would find (a first import).
mess() {
    local name="$1"
    shift
    # Names hold spaces ("bericht journal" beside "bericht journal --csv"):
    # known ones are looked up by name, not in the joined list.
    [ -n "${bekannt[$name]:-}" ] || { befehle+=("$name"); bekannt["$name"]=1; }
    local laeufe="${MESS_LAEUFE:-3}" lauf rc s k u y c
    for ((lauf = 1; lauf <= laeufe; lauf++)); do
        [ -n "${MESS_VORHER:-}" ] && eval "$MESS_VORHER"
        rc=0
        timeout "$limit" /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$@" >"$work/out" 2>"$work/err" || rc=$?
        if [ "$lauf" -gt 1 ]; then
            # A repetition that fails (a file it may not replace) adds nothing.
            [ "$rc" -eq 0 ] || break
            read -r s k u y < <(tail -n 1 "$work/time")
            c=$(awk -v u="$u" -v y="$y" 'BEGIN { printf "%.2f", u + y }')
            sek["$name|$n"]=$(awk -v a="${sek[$name|$n]}" -v b="$s" 'BEGIN { print (b + 0 < a + 0) ? b : a }')
            cpu["$name|$n"]=$(awk -v a="${cpu[$name|$n]}" -v b="$c" 'BEGIN { print (b + 0 < a + 0) ? b : a }')
            mb["$name|$n"]=$(awk -v a="${mb[$name|$n]}" -v k="$k" 'BEGIN { m = k / 1024; printf "%.0f", (m > a + 0) ? m : a }')
            continue
        fi
        cpu["$name|$n"]="-"
        if [ "$rc" -eq 124 ]; then
            sek["$name|$n"]=">$limit"
            mb["$name|$n"]="-"
            break
        elif [ "$rc" -ne 0 ]; then
            # A refusal (1) is a failure as much as a crash: its time measures
            # nothing the command was asked to do.
            echo "bench: $name ($n) endete mit $rc:" >&2
            head -c 2000 "$work/err" >&2
            sek["$name|$n"]="Fehler($rc)"
            mb["$name|$n"]="-"
            break
        fi
        read -r s k u y < <(tail -n 1 "$work/time")
        sek["$name|$n"]="$s"
        cpu["$name|$n"]=$(awk -v u="$u" -v y="$y" 'BEGIN { printf "%.2f", u + y }')
        mb["$name|$n"]=$(awk -v k="$k" 'BEGIN { printf "%.0f", k / 1024 }')
        awk -v s="$s" 'BEGIN { exit !(s + 0 >= 20) }' && break
    done
    printf '%-9s %-34s %9s %9s %9s\n' "$n" "$name" "${sek[$name|$n]}" "${cpu[$name|$n]}" "${mb[$name|$n]}"
}

# schreibend NAME CMD... with FALL standing for a fresh copy of the case
# (made again before each run).
schreibend() {
    local name="$1"
    shift
    local args=()
    for a in "$@"; do args+=("${a//FALL/$work/kopie.dalvo}"); done
    MESS_VORHER='cp "$fall" "$work/kopie.dalvo"' mess "$name" "${args[@]}"
    rm -f "$work/kopie.dalvo"
}

printf '%-9s %-34s %9s %9s %9s\n' "Buchungen" "Befehl" "Sekunden" "CPU-s" "MB (RSS)"
for n in "${sizes[@]}"; do
    fall="$work/f$n.dalvo"
    rechnungen=$((n >= 100000 ? 10000 : n / 10))
    vorlagen=$((n >= 100000 ? 500 : 50))
    umsaetze=$((n >= 100000 ? 50000 : 5000))
    "$dalvo" new "$fall" --year 2016 --no-examples 2>/dev/null
    MESS_LAEUFE=1 mess "generate" "$dalvo" generate "$fall" --bookings "$n" --seed 1
    "$build/benchdaten" "$fall" --rechnungen "$rechnungen" --vorlagen "$vorlagen" --camt "$work/auszug.xml" --iban "$iban" \
        --umsaetze "$umsaetze" --csv "$work/auszug.csv" --seed 1 >/dev/null
    "$dalvo" bank "$fall" add --konto 1200 --iban "$iban" >/dev/null
    # What an invoice as PDF (with its XRechnung) needs of the own firm.
    "$dalvo" firma "$fall" --name "Muster GmbH" --strasse "Hauptstraße 1" --plz 10115 --ort Berlin --steuernummer 1123456789 \
        --ustid DE123456789 --kontakt "Erika Muster" --telefon "030 123456" --email buero@muster.example --iban DE02120300000000202051 \
        --bic BYLADEM1001 --bank "Beispielbank" >/dev/null
    # What the ELSTER file (tax office's state) and the DATEV batch (adviser
    # and client numbers) need.
    "$dalvo" einstellungen "$fall" --bundesland BE --datev-berater 1001 --datev-mandant 1 >/dev/null
    # The statement is imported once into the case itself, so that the
    # commands on transactions find them; the copy measures the import.
    schreibend "bank import" "$dalvo" bank FALL import "$work/auszug.xml" --yes
    "$dalvo" bank "$fall" import "$work/auszug.xml" --yes >/dev/null 2>&1
    # The CSV download carries other references than the statement, so its
    # transactions are stored once more beside those of the CAMT file.
    schreibend "bank import (CSV)" "$dalvo" bank FALL import "$work/auszug.csv" --yes
    "$dalvo" export-csv "$fall" "$work/buchungen.csv" >/dev/null 2>&1
    # The registers: assets bought through bank and till, shares bought and
    # sold, a car whose private share is taken from the year's car costs,
    # and two incoming e-invoices.
    "$dalvo" anlage "$fall" neu --bezeichnung Server --konto 420 --datum 15.03.2016 --kosten 2400 --nutzungsdauer 3 --buchen \
        --geldkonto 1200 >/dev/null
    "$dalvo" anlage "$fall" neu --bezeichnung Pkw --konto 320 --datum 01.02.2016 --kosten 30000 --nutzungsdauer 6 --buchen \
        --geldkonto 1200 >/dev/null
    "$dalvo" anlage "$fall" neu --bezeichnung Bürostuhl --konto 480 --datum 10.05.2016 --kosten 350 --methode sofort --buchen \
        --geldkonto 1000 >/dev/null
    "$dalvo" konto "$fall" aktivieren 1348 >/dev/null
    "$dalvo" umlauf "$fall" neu --bezeichnung Aktien --konto 1348 --datum 01.04.2016 --kosten 5000 --art anteile --buchen \
        --geldkonto 1200 >/dev/null
    "$dalvo" umlauf "$fall" abgang 1 --datum 01.10.2016 --art verkauf --erloes 6000 --geldkonto 1200 >/dev/null
    "$dalvo" kfz "$fall" neu --bezeichnung Pkw --methode fahrtenbuch --anteil 20 >/dev/null
    "$dalvo" eingang "$fall" import "$eingang/cii_standard.xml" "$eingang/cii_mischsatz.xml" >/dev/null

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
    for b in journal ustliste kontenplan beleganalyse buchungszeiten euer-vergleich sperrgrenzen zm belege vorlagen kunden artikel inventar \
        aveuer moss; do
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
    mess "ust-erklaerung" "$dalvo" ust-erklaerung "$fall"
    mess "ust-erklaerung --json" "$dalvo" ust-erklaerung "$fall" --json
    mess "ust-erklaerung --pdf" env QT_QPA_PLATFORM=offscreen "$dalvo" ust-erklaerung "$fall" --pdf -
    mess "ustva --month 12 --elster" "$dalvo" ustva "$fall" --month 12 --elster "$work/ustva.xml" --ersetzen
    mess "zm --quarter 4 --elster-csv" "$dalvo" zm "$fall" --quarter 4 --elster-csv "$work/zm.csv" --ersetzen
    mess "datev-export" "$dalvo" datev-export "$fall" "$work/EXTF_Buchungsstapel.csv" --ersetzen
    MESS_VORHER='rm -rf "$work/gobd"' mess "gobd-export" "$dalvo" gobd-export "$fall" "$work/gobd"
    rm -rf "$work/gobd" "$work/"EXTF_* "$work/ustva.xml" "$work/zm.csv"
    mess "anlage verzeichnis" "$dalvo" anlage "$fall" verzeichnis
    mess "anlage verzeichnis --json" "$dalvo" anlage "$fall" verzeichnis --json
    mess "umlauf teileinkuenfte" "$dalvo" umlauf "$fall" teileinkuenfte
    mess "iab liste" "$dalvo" iab "$fall" liste
    mess "kfz liste" "$dalvo" kfz "$fall" liste
    mess "eingang liste" "$dalvo" eingang "$fall" liste
    mess "eingang zeigen" "$dalvo" eingang "$fall" zeigen 1
    mess "auftrag liste" "$dalvo" auftrag "$fall" liste
    mess "lieferschein liste" "$dalvo" lieferschein "$fall" liste
    MESS_LAEUFE=1 mess "bank ueberweisung" "$dalvo" bank "$fall" ueberweisung 1 2 --ausfuehrung "$morgen" "$work/sepa.xml" --ersetzen
    rm -f "$work/sepa.xml"

    schreibend "book" "$dalvo" book FALL --kind einnahme --date 31.12.2016 --amount 1 --account 1200 --counter 8400
    schreibend "cancel" "$dalvo" cancel FALL 5 --yes
    schreibend "delete" "$dalvo" delete FALL 7 --yes
    schreibend "lock" "$dalvo" lock FALL 31.01.2016
    schreibend "kassenabschluss" "$dalvo" kassenabschluss FALL --datum 31.01.2016 --gezaehlt 0,00 --gegenkonto 4930 --yes
    schreibend "regelbuchungen --alle" "$dalvo" regelbuchungen FALL --alle --stichtag 31.12.2016 --yes
    schreibend "rechnung neu" "$dalvo" rechnung FALL neu --kunde K0001 --datum 30.12.2016 --yes
    schreibend "bank uebernehmen --alle" "$dalvo" bank FALL uebernehmen --alle --yes
    schreibend "saldovortrag --konto" "$dalvo" saldovortrag FALL --konto 1200 --betrag 100 --yes
    schreibend "anlage neu --buchen" "$dalvo" anlage FALL neu --bezeichnung Regal --konto 420 --datum 01.07.2016 --kosten 800 \
        --nutzungsdauer 13 --buchen --geldkonto 1200
    schreibend "anlage afa" "$dalvo" anlage FALL afa --yes
    schreibend "kfz buchen" "$dalvo" kfz FALL buchen --yes
    schreibend "eingang import" "$dalvo" eingang FALL import "$eingang/ubl_innergemeinschaftlich.xml"
    schreibend "eingang buchen" "$dalvo" eingang FALL buchen 1 --konto 4930 --geldkonto 1200 --datum 20.03.2016 --yes
    schreibend "konto aendern" "$dalvo" konto FALL aendern 8400 --schluessel 5 --fest
    schreibend "konto deaktivieren" "$dalvo" konto FALL deaktivieren 1525
    schreibend "steuerschluessel deaktivieren" "$dalvo" steuerschluessel FALL deaktivieren 18
    # (jahreswechsel is left out: the cases are of 2016, the last year the
    # program knows.)
    mkdir -p "$work/kasse"
    schreibend "kasse-export" "$dalvo" kasse-export FALL --konto 1000 --ziel "$work/kasse" --name bench --ersetzen
    rm -rf "$work/kasse"
    # The cash installation: the till of a new case handed over before its
    # first booking, a cash case from it with N generated bookings (15 % of
    # them in the till) closed at the year's end, and its closed bookings
    # written back and taken over by the case that handed the till over.
    mkdir -p "$work/kasse"
    "$dalvo" new "$work/zentrale.dalvo" --year 2016 --no-examples 2>/dev/null
    "$dalvo" kasse-export "$work/zentrale.dalvo" --konto 1000 --ziel "$work/kasse" --name bench >/dev/null 2>&1
    "$dalvo" kasse-import "$work/kasse/"*.kasse "$work/kassenfall.dalvo" >/dev/null 2>&1
    "$dalvo" generate "$work/kassenfall.dalvo" --bookings "$n" --seed 2 >/dev/null
    "$dalvo" kassenabschluss "$work/kassenfall.dalvo" --datum 31.12.2016 --gezaehlt 0,00 --gegenkonto 4930 --yes >/dev/null 2>&1
    MESS_VORHER='rm -f "$work/kasse/abschluss.buchungen"' mess "kassenbuchungen-export" "$dalvo" kassenbuchungen-export "$work/kassenfall.dalvo" --ziel "$work/kasse/abschluss.buchungen"
    fall_vorher="$fall"
    fall="$work/zentrale.dalvo"
    # The generated receipts and expenses take the till below zero on some
    # days; the question about it is answered yes.
    schreibend "kassenbuchungen-import" "$dalvo" kassenbuchungen-import FALL "$work/kasse/abschluss.buchungen" --yes
    schreibend "kasse-freigeben" "$dalvo" kasse-freigeben FALL --konto 1000 --yes
    fall="$fall_vorher"
    rm -rf "$work/kasse" "$work/zentrale.dalvo" "$work/kassenfall.dalvo"
    "$dalvo" new "$work/leer.dalvo" --year 2016 --no-examples 2>/dev/null
    MESS_LAEUFE=1 mess "import" "$dalvo" import "$work/leer.dalvo" "$work/buchungen.csv" --yes
    rm -f "$fall" "$work/leer.dalvo" "$work/auszug.xml" "$work/auszug.csv" "$work/buchungen.csv"
done

# The growth of each command from one size to the next.
[ ${#sizes[@]} -lt 2 ] && exit 0
echo
kopf=$(printf '%-34s' "Befehl")
for ((i = 1; i < ${#sizes[@]}; i++)); do kopf+=$(printf ' %24s' "${sizes[i-1]}→${sizes[i]} s/CPU/MB"); done
echo "$kopf"
for c in "${befehle[@]}"; do
    zeile=$(printf '%-34s' "$c")
    for ((i = 1; i < ${#sizes[@]}; i++)); do
        a="${sek[$c|${sizes[i-1]}]:-}" b="${sek[$c|${sizes[i]}]:-}" ma="${mb[$c|${sizes[i-1]}]:-}" mbb="${mb[$c|${sizes[i]}]:-}"
        ca="${cpu[$c|${sizes[i-1]}]:-}" cb="${cpu[$c|${sizes[i]}]:-}"
        zeile+=$(awk -v a="$a" -v b="$b" -v ca="$ca" -v cb="$cb" -v ma="$ma" -v mb="$mbb" 'BEGIN {
            t = (a + 0 > 0 && b ~ /^[0-9.]+$/) ? sprintf("%.1f×", b / a) : "-"
            c = (ca + 0 > 0 && cb ~ /^[0-9.]+$/) ? sprintf("%.1f×", cb / ca) : "-"
            m = (ma + 0 > 0 && mb ~ /^[0-9.]+$/) ? sprintf("%.1f×", mb / ma) : "-"
            printf " %24s", t "/" c "/" m }')
    done
    echo "$zeile"
done
