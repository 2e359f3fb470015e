#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs. Packages already present
# are skipped, so a second run costs a few dpkg queries and nothing else.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config git
  qt6-base-dev libgl-dev qt6-image-formats-plugins
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  ffmpeg  # only the benchmarks' peer and a test tool; the program never runs it
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth xdotool x11-apps imagemagick xclip
  desktop-file-utils appstream
  fonts-dejavu-core groff-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
