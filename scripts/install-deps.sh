#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and running Lorimel
# need. Idempotent and non-interactive: packages already present are not
# touched, so a second run costs a dpkg query and nothing else.
#   scripts/install-deps.sh          build, tests, make run, make fuzz
#   scripts/install-deps.sh --bench  also the peer tools the benchmarks measure
set -euo pipefail

packages=(
  build-essential cmake make pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6opengl6-dev libgl-dev
  libmpv-dev libmp3lame-dev libcdio-dev libcdio-paranoia-dev libvorbis-dev libogg-dev
  libasound2-dev libxcb1-dev libxcb-keysyms1-dev
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool dbus fonts-dejavu-core libgl1-mesa-dri
)
bench_packages=(audacious mpv lame vorbis-tools cd-paranoia libtag1-dev hyperfine time)

if [ "${1:-}" = "--bench" ]; then
  packages+=("${bench_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
    exit 1
  fi
  SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}"
apt_install() {
  "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
# Fresh machines often have no package lists yet: refresh and try again.
if ! apt_install; then
  "${SUDO[@]}" apt-get update -q
  apt_install
fi
