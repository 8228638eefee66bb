#!/usr/bin/env bash
# Installs the dependencies, builds, and runs the main job as far as it goes
# today: a new case's working database with its version and properties, then
# a case file created and read back.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
"$here/scripts/build.sh" >/dev/null
build="${BUILD_DIR:-$here/build}"
"$build/dalvo" version
echo
"$build/dalvo" dbinfo --year 2016
echo
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/dalvo" new "$work/beispiel.dalvo" --year 2016 --chart SKR03
echo "Falldatei $work/beispiel.dalvo:"
"$build/dalvo" info "$work/beispiel.dalvo"
