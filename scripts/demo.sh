#!/usr/bin/env bash
# Installs the dependencies, builds, and runs the main job: for now the
# creation of a case's working database from the empty template, with its
# schema version and case properties.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
"$here/scripts/build.sh" >/dev/null
build="${BUILD_DIR:-$here/build}"
"$build/dalvo" version
echo
"$build/dalvo" dbinfo --year 2016
