#!/usr/bin/env bash
# Installs every package that building, running and testing Vadelux needs on Debian 12.
# Idempotent: it asks apt only for what is missing, and runs `apt-get update` at most once.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
  libxml2-dev libxml2-utils qt6-base-dev libchm-dev libgtest-dev libgmock-dev libbenchmark-dev
  # help file compiler and the independent dBase readers used by the tests
  fpc fp-units-db fp-units-fcl fp-utils python3 python3-dbfread libreoffice-calc libreoffice-base-drivers
  # runtime
  libchm1 fonts-liberation2 libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n
  # desktop tests
  xvfb xdotool x11-utils imagemagick tesseract-ocr tesseract-ocr-spa
  # packaging
  dpkg-dev desktop-file-utils gzip
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Instalando paquetes: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
