#!/usr/bin/env bash
# Every generator in tools/ run again into a fresh folder must give the committed assets byte for byte.
# Usage: generators_test.sh TOOLS_DIR SOURCE_DIR
set -uo pipefail
tools=$1 assets=$2/assets
out=$(mktemp -d) || exit 1
trap 'rm -rf "$out"' EXIT

"$tools/make_sprites" "$out" >/dev/null &&
  "$tools/make_skins" "$out" >/dev/null &&
  "$tools/make_icon" "$out/quorvel.ico" >/dev/null &&
  "$tools/quorvel-render" --width 608 --height 448 --frames 3000 --fixed-targets --size 80 --length 100 \
    --turn-rate 0.01 --target1 200,310 --target2 400,290 --yellow-green --downscale 4 --bmp --out "$out/preview.bmp" ||
  { echo "1 passed, 1 failed: a generator did not run"; exit 1; }

passed=0 failed=0
for made in "$out"/*; do
  name=$(basename "$made")
  if cmp -s "$made" "$assets/$name"; then
    passed=$((passed + 1))
  else
    echo "FAIL: $name differs from assets/$name (regenerate it, or find what changed the generator's output)"
    failed=$((failed + 1))
  fi
done
for expected in sheet_cyan.bmp sheet_green.bmp skin_normal.bmp quorvel.ico preview.bmp; do
  [[ -f $out/$expected ]] || { echo "FAIL: no generator made $expected"; failed=$((failed + 1)); }
done
echo "$passed passed, $failed failed"
((failed == 0))
