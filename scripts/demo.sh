#!/usr/bin/env bash
# The main job end to end on the bundled sample case: a small IT consultancy's
# year 2016 on SKR03 (data/samples/musterfall_2016.csv) is booked into a new
# case file, one booking entered twice is cancelled, and the figures for the
# tax office are printed: the advance VAT return of every month, the
# income-surplus statement with the profit, the balance list, the cash book
# of January and the recapitulative statement of the year.
#
# Builds only the program and its databases (not the tests). The sample case
# stays at build/musterfall_2016.dalvo (or $DEMO_FALL) for the user to open.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
build="${BUILD_DIR:-$here/build}"
echo "Baue das Programm dalvo nach $build (beim ersten Mal einige Minuten) …" >&2
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
# Only the errors and the progress of the build are shown.
cmake --build "$build" -j2 --target dalvo dalvo_data 2>&1 | grep -E '^\[ *[0-9]+%\] (Built target|Linking)|error|Error' >&2 || true
[ -x "$build/dalvo" ] || { echo "Der Bau von dalvo ist fehlgeschlagen." >&2; exit 1; }
dalvo="$build/dalvo"
fall="${DEMO_FALL:-$build/musterfall_2016.dalvo}"
rm -f "$fall"

"$dalvo" version
echo
"$dalvo" neu "$fall" --jahr 2016 --kontenrahmen SKR03 --ohne-beispiele
# A monthly filer with the one-month extension (and its special advance payment).
"$dalvo" einstellungen "$fall" --anmeldezeitraum monat --dauerfrist ja
gebucht="$("$dalvo" buchungen-import "$fall" "$here/data/samples/musterfall_2016.csv")"
echo "Gebuchte Buchungen aus data/samples/musterfall_2016.csv: $gebucht"
# The last booking of the sample is a fuel receipt entered a second time; the
# duplicate is cancelled, not deleted, so the ledger keeps both.
echo "Storno der doppelt erfassten Buchung $gebucht: Stornobuchung $("$dalvo" stornieren "$fall" "$gebucht")"
# The notebook bought in March (booking 62 on the asset account 0420) goes
# into the asset register; its depreciation for March to December is posted
# from there.
echo "Anlage aus Buchung 62: Nr. $("$dalvo" anlage "$fall" neu --aus-buchung 62 --gut "Personalcomputer, Notebooks, Workstations")"
echo "Abschreibungen 2016 gebucht: $("$dalvo" anlage "$fall" afa | tr '\n' ' ')"
"$dalvo" pruefen "$fall"
# The opening balances of 2016 come from the year before: a small 2015
# (data/samples/vorjahr_2015.csv) ends with exactly the cash and bank
# balances the sample carries forward, so the carry-forward finds nothing
# left to post.
vorjahr="${DEMO_VORJAHR:-$build/vorjahr_2015.dalvo}"
rm -f "$vorjahr"
"$dalvo" neu "$vorjahr" --jahr 2015 --kontenrahmen SKR03 --ohne-beispiele
echo "Gebuchte Buchungen aus data/samples/vorjahr_2015.csv: $("$dalvo" buchungen-import "$vorjahr" "$here/data/samples/vorjahr_2015.csv")"
echo "Saldovorträge 2016 im Vergleich mit dem Vorjahr 2015:"
"$dalvo" saldovortrag "$fall" --vorjahr "$vorjahr" --nur-bericht
echo
"$dalvo" info "$fall"
# The business files monthly with the one-month extension (§ 46 UStDV): the
# special advance payment of January is credited in December (code 39), and
# each month's payment is booked on the 10th two months later.
for m in 1 2 3 4 5 6 7 8 9 10 11 12; do
    echo
    "$dalvo" ustva "$fall" --monat "$m"
done
echo
# The annual VAT return: the year's codes, the advance payments declared in
# the twelve returns (with the special advance payment) and what is left.
"$dalvo" ust-erklaerung "$fall"
echo
"$dalvo" euer "$fall"
echo
"$dalvo" anlage "$fall" verzeichnis
echo
"$dalvo" saldenliste "$fall"
echo
"$dalvo" kassenbuch "$fall" --monat 1
echo
# The sample business reports only services to other EU businesses, which
# the recapitulative statement takes per quarter (§ 18a Abs. 1 UStG); as a
# monthly filer the annual statement of § 18a Abs. 9 UStG is not open to it.
for q in 1 2 3 4; do
    echo "Zusammenfassende Meldung $q. Quartal 2016:"
    "$dalvo" zm "$fall" --quartal "$q" --csv
    echo
done
# A bank statement of 28 to 30 December (camt.053) read into a copy of the
# sample case, so the figures above stay those of the sample: the bank
# account, the import, the proposals from the ledger and the takeover.
bank="${DEMO_BANKFALL:-$build/musterfall_2016_bank.dalvo}"
rm -f "$bank"
cp "$fall" "$bank"
echo
echo "Bankkonto zum Konto 1200 (Kopie $bank): $("$dalvo" bank "$bank" neu --konto 1200 --iban DE89370400440532013000 --name Geschäftskonto)"
echo "Eingelesene Umsätze aus data/samples/kontoauszug_2016-12.camt053.xml: $("$dalvo" bank "$bank" import "$here/data/samples/kontoauszug_2016-12.camt053.xml")"
"$dalvo" bank "$bank" vorschlaege
echo "Übernommene Buchungen: $("$dalvo" bank "$bank" uebernehmen --alle | tr '\n' ' ')"
"$dalvo" bank "$bank" umsaetze
echo
echo "Der Musterfall liegt in $fall. Weiter zum Beispiel mit:"
echo "  $dalvo buchungen \"$fall\""
echo "  $dalvo buchen \"$fall\" --art ausgabe --datum 20.12.2016 --betrag 119,00 --konto 1200 --gegenkonto 4930 --text \"Büromaterial\""
