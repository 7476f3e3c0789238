#!/bin/sh
# Regenerates src/eval/kpk_data.cpp from tools/kpkgen.cpp.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++20 -O2 -Wall -Wextra -o "$tmp/kpkgen" "$root/tools/kpkgen.cpp"
"$tmp/kpkgen" "$root/src/eval/kpk_data.cpp"
