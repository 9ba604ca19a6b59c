#!/usr/bin/env bash
# Installs the Debian packages the build, the tests or the benchmarks need, skipping
# those already present so that a second run costs a fraction of a second.
# Usage: tools/deps.sh build|test|bench|fuzz|web
set -euo pipefail
want=(cmake ninja-build g++ pkg-config libsdl2-dev libx11-dev libpng-dev libcairo2-dev
      librsvg2-dev fonts-dejavu-core)
case "${1:-build}" in
  test) want+=(googletest libgtest-dev xvfb xdotool imagemagick x11-utils zenity python3
        librsvg2-bin poppler-utils python3-numpy python3-pil) ;;
  bench) want+=(libbenchmark-dev eukleides ghostscript python3) ;;
  fuzz) want+=(clang libclang-rt-dev) ;;
  web) want=(cmake ninja-build emscripten nodejs python3) ;;
  webtest) want=(cmake ninja-build emscripten nodejs python3 chromium) ;;
esac
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
