#!/usr/bin/env bash
# Builds the deliverables into dist/: the Windows x64 plug-ins (the product) and
# the Linux x86-64 ones.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/bootstrap.sh

for preset in windows-release linux-release; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  cmake --install "build/$preset" --prefix "$root/dist" >/dev/null
done
mkdir -p dist
echo "build: deliverables in dist/:"
(cd dist && find . -type f | sort | sed 's|^\./|  |')
