#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: when all are
# present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qtbase5-dev qtbase5-dev-tools libqt5svg5-dev qttools5-dev-tools
  libcjson-dev libboost-thread-dev libboost-system-dev
  libsqlite3-dev
  libbenchmark-dev libturbojpeg0-dev libjpeg62-turbo-dev
  clang libclang-rt-dev
  xvfb xauth fonts-dejavu-core
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-x
  gstreamer1.0-rtsp libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  libgstrtspserver-1.0-dev libxcb1-dev
  mosquitto libmosquitto-dev openssl libssl-dev
  libopencv-dev opencv-data opencv-doc
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
