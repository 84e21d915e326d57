#!/usr/bin/env bash
# Installs whatever the build and tests need that this Debian machine lacks.
set -euo pipefail

packages=(
  cmake make g++ python3 openssl
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine64 googletest
  clang libclang-rt-14-dev
)
missing=()
for pkg in "${packages[@]}"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
