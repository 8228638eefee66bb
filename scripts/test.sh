#!/usr/bin/env bash
# Installs the dependencies, builds and runs the whole test suite.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
"$here/scripts/build.sh"
cd "${BUILD_DIR:-$here/build}"
ctest --output-on-failure -j2
