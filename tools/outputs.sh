#!/usr/bin/env bash
# Writes what every example and gallery script gives headless (the finished picture, the
# dump, the GIF and the printed text) into one folder, so that two builds can be compared
# byte for byte after a change that must not change behaviour:
#
#   tools/outputs.sh build/before/zirkula /tmp/before
#   tools/outputs.sh build/release/zirkula /tmp/after
#   diff -r /tmp/before /tmp/after && echo identical
set -euo pipefail
cd "$(dirname "$0")/.."
zirkula="$(realpath "$1")"
out="$2"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for script in examples/*.zir examples/gallery/*.zir; do
    name="$(basename "$(dirname "$script")")-$(basename "$script" .zir)"
    # A copy, so that no report file can appear beside the original.
    cp "$script" "$work/$name.zir"
    args=(--headless --png "$out/$name.png" --dump "$out/$name.json" --gif "$out/$name.gif")
    [ -f "${script%.zir}.input" ] && args+=(--input "$PWD/${script%.zir}.input")
    (cd "$work" && "$zirkula" "${args[@]}" "$name.zir" >"$out/$name.txt" 2>&1 </dev/null) || true
done
ls "$out" | wc -l | sed 's/$/ files written/'
