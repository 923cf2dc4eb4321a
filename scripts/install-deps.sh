#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent: asks apt only for what is missing, and updates its lists only then.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libboost-dev libboost-program-options-dev libboost-filesystem-dev
  libtbb-dev libcairo2-dev libpango1.0-dev fonts-dejavu-core
  libedf-dev poppler-utils
)
# The fuzz targets want clang; they are built only where it is present.
optional=(clang-14 libclang-rt-14-dev)

missing=()
for p in "${packages[@]}" "${optional[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}"
# The optional ones may be absent from a mirror; the build copes without them.
$SUDO apt-get install -y -qq --no-install-recommends "${optional[@]}" || true
