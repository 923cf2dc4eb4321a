#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent: asks apt only for what is missing, and updates its lists only then.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  locales googletest libgtest-dev libgmock-dev libbenchmark-dev
  libboost-dev libboost-program-options-dev libboost-filesystem-dev
  libtbb-dev libcairo2-dev libpango1.0-dev fonts-dejavu-core
  libedf-dev poppler-utils chromium time
  nodejs libjs-jquery nlohmann-json3-dev libcpp-httplib-dev librsvg2-dev librsvg2-bin libqpdf-dev
)
# The fuzz targets want clang; they are built only where it is present.
optional=(clang-14 libclang-rt-14-dev)

# Locale tests run under these besides C; the C library's locale data builds them.
ensure_locales() {
  local spec name
  for spec in de_DE:de_DE.UTF-8 en_US:en_US.UTF-8; do
    name=${spec#*:}
    locale -a 2>/dev/null | grep -qix "${name/UTF-8/utf8}" && continue
    $SUDO localedef -i "${spec%%:*}" -f UTF-8 "$name"
  done
}

missing=()
for p in "${packages[@]}" "${optional[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ ${#missing[@]} -eq 0 ]; then
  ensure_locales
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}"
# The optional ones may be absent from a mirror; the build copes without them.
$SUDO apt-get install -y -qq --no-install-recommends "${optional[@]}" || true
ensure_locales
