#!/usr/bin/env bash
# Installs the Debian packages that one use of the tree needs, and only those
# that are missing. Safe to run again; works as root or via sudo.
#
#   scripts/install-deps.sh [demo|test|sanitize|fuzz|bench|all]
#
# demo builds the library and the program (make demo, program, install); test
# adds GoogleTest and the tools the fixtures are made and checked with (make
# test, build), and sanitize needs the same; fuzz adds clang and its sanitizer
# runtimes; bench adds Google Benchmark and hyperfine. all (the default) is
# everything, for CI.
set -euo pipefail

build=(build-essential cmake ninja-build python3 libexpat1-dev)
testing=(libgtest-dev libxml2-utils openssl ca-certificates)
fuzzing=(clang libclang-rt-14-dev)
benchmarks=(libbenchmark-dev hyperfine)

mode=${1:-all}
case "$mode" in
  demo) packages=("${build[@]}") ;;
  test | sanitize) packages=("${build[@]}" "${testing[@]}") ;;
  fuzz) packages=("${build[@]}" "${fuzzing[@]}") ;;
  bench) packages=("${build[@]}" "${benchmarks[@]}") ;;
  all) packages=("${build[@]}" "${testing[@]}" "${fuzzing[@]}" "${benchmarks[@]}") ;;
  *)
    echo "usage: $0 [demo|test|sanitize|fuzz|bench|all]" >&2
    exit 2
    ;;
esac

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
