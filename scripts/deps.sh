#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-charts-dev qt6-translations-l10n
  libsqlcipher-dev sqlcipher libzip-dev libssl-dev libcurl4-openssl-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk xvfb xauth python3 poppler-utils
  # The fuzz targets, which scripts/test compiles: clang and its libFuzzer and sanitizer runtimes.
  clang libclang-rt-14-dev
)
if [ "${1:-}" = "--with-tools" ]; then
  packages+=(imagemagick python3-openpyxl python3-xlsxwriter python3-xlwt python3-msoffcrypto-tool)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q "${missing[@]}"
