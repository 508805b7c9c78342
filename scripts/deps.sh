#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail
needed=(cmake g++ make libgtest-dev libbenchmark-dev clang libclang-rt-14-dev)
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
