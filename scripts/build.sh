#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR) with two jobs.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$here/build}"
type="${BUILD_TYPE:-RelWithDebInfo}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build "$build" -j2
