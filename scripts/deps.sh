#!/usr/bin/env bash
# Installs the Debian packages a command needs, only those that are missing.
# Building and testing need the compiler, CMake, GoogleTest and Google
# Benchmark; fuzzing (scripts/fuzz.sh) needs clang and its runtime
# (libFuzzer and the sanitizers) besides, by names that follow the default
# clang whatever its version.
# Usage: scripts/deps.sh [fuzz]
set -euo pipefail
needed=(cmake g++ make libgtest-dev libbenchmark-dev)
case "${1:-}" in
  "") ;;
  fuzz) needed+=(clang libclang-rt-dev) ;;
  *)
    echo "Usage: scripts/deps.sh [fuzz]" >&2
    exit 2
    ;;
esac
missing=()
for p in "${needed[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  $sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi
