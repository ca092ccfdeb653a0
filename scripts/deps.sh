#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the benchmarks need; with --bench
# also the reference tools the bench/*_compare.sh scripts time our code against.
# As root it runs apt-get; otherwise it prints the one command a person has to run.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-private-dev qt6-image-formats-plugins libxcb1-dev
  qt6-l10n-tools qt6-translations-l10n
  libsodium-dev zlib1g-dev libjpeg62-turbo-dev libjpeg-turbo-progs
  libseccomp-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libfuzzer-14-dev clang-format
  xvfb xauth fonts-dejavu-core dbus-daemon trayer evilwm
  shared-mime-info desktop-file-utils xdg-utils libglib2.0-bin at-spi2-core
  qt6-wayland libwayland-dev wayland-protocols sway wl-clipboard wtype
)
if [[ ${1:-} == --bench ]]; then
  packages+=(age time imagemagick libimage-exiftool-perl libvips-tools)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages. Run this once, then start again:" >&2
  echo "sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
