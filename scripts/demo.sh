#!/usr/bin/env bash
# The main job end to end on the bundled sample case: a small IT consultancy's
# year 2016 on SKR03 (data/samples/musterfall_2016.csv) is booked into a new
# case file, one booking entered twice is cancelled, and the figures for the
# tax office are printed: the advance VAT return of every quarter, the
# income-surplus statement with the profit, the balance list and the
# recapitulative statement of the year.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
"$here/scripts/build.sh" >/dev/null
build="${BUILD_DIR:-$here/build}"
dalvo="$build/dalvo"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fall="$work/musterfall_2016.dalvo"

"$dalvo" version
echo
"$dalvo" new "$fall" --year 2016 --chart SKR03 --no-examples
echo "Gebuchte Buchungen aus data/samples/musterfall_2016.csv: $("$dalvo" import "$fall" "$here/data/samples/musterfall_2016.csv")"
# The last booking of the sample is a fuel receipt entered a second time; the
# duplicate is cancelled, not deleted, so the ledger keeps both.
echo "Storno der doppelt erfassten Buchung 235: Stornobuchung $("$dalvo" cancel "$fall" 235)"
"$dalvo" verify "$fall"
echo
"$dalvo" info "$fall"
for q in 1 2 3 4; do
    echo
    "$dalvo" ustva "$fall" --quarter "$q"
done
echo
"$dalvo" euer "$fall"
echo
"$dalvo" saldenliste "$fall"
echo
echo "Zusammenfassende Meldung 2016:"
"$dalvo" zm "$fall" --period -1 --csv
echo
