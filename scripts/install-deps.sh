#!/usr/bin/env bash
# Installs the Debian packages that building and testing blobxml need, and
# only those that are missing. Safe to run again; works as root or via sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build python3 pkg-config
  libexpat1-dev libgtest-dev
  libxml2-utils openssl ca-certificates
  clang libclang-rt-14-dev
  libbenchmark-dev hyperfine
)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
