#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent and non-interactive: it only calls apt-get when a package is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  python3
  qtbase5-dev libqt5xml5
  libsqlite3-dev
  libgtest-dev libgmock-dev
  libbenchmark-dev
  # libqpdf: the hybrid invoice's PDF/A-3 structure is written with it, and the
  # XML attached to an incoming ZUGFeRD/Factur-X PDF is read with it; the sRGB
  # profile of the output intent comes from icc-profiles-free; the tests check
  # the files with qpdf --check and pdffonts (poppler-utils).
  libqpdf-dev icc-profiles-free qpdf poppler-utils
  # Qt's own dialogs of the window (files, printing) in German
  qttranslations5-l10n
  # xmllint: the tests validate the index.xml of the audit export against its DTD
  libxml2-utils
  # the window's screenshots are rendered offscreen with this font
  fonts-dejavu-core
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "bootstrap: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
