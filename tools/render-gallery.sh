#!/usr/bin/env bash
# Renders the pictures of the documentation without a window:
#   - every gallery script examples/gallery/NAME.zir to docs/gallery/NAME.gif (the whole run
#     with its timing) and docs/gallery/NAME.png (the finished figure), with the viewer input
#     examples/gallery/NAME.input when there is one;
#   - two gallery scripts as SVG (docs/gallery/NAME.svg) and one as a handout
#     (docs/gallery/umkreis-arbeitsblatt.pdf, its pages as umkreis-arbeitsblatt-N.png);
#   - every example of docs/sprache.md whose first line is "' Bild: NAME" to
#     docs/bilder/NAME.png; its comment lines "' Eingabe: EVENT" are the viewer input
#     (one line of an --input file each), for examples that wait for the viewer.
# Run by hand after a change to the scripts or to the drawing; the pictures are committed.
# It needs the execution engine: with a program that cannot run scripts yet, no picture
# appears and the script says so for each one.
#
# Usage: tools/render-gallery.sh [ZIRKULA]   (default: a Release build in build/release)
set -euo pipefail
cd "$(dirname "$0")/.."

zirkula="${1:-}"
if [ -z "$zirkula" ]; then
    tools/deps.sh build
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/release --target zirkula_exe >/dev/null
    zirkula=build/release/zirkula
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p docs/gallery docs/bilder
missing=0

# Runs one script headless; the script is copied first so that no report file can appear
# beside the original.
render() {  # script, input file or "", png, gif or ""
    local script="$1" input="$2" png="$3" gif="$4"
    local copy="$work/$(basename "$script")"
    cp "$script" "$copy"
    local args=(--headless --png "$png")
    [ -n "$input" ] && args+=(--input "$input")
    [ -n "$gif" ] && args+=(--gif "$gif")
    rm -f "$png" ${gif:+"$gif"}
    "$zirkula" "${args[@]}" "$copy" >"$work/out.txt" 2>&1 || true
    if [ ! -s "$png" ] || { [ -n "$gif" ] && [ ! -s "$gif" ]; }; then
        echo "  no picture for $script:" >&2
        sed 's/^/    /' "$work/out.txt" >&2
        missing=$((missing + 1))
        return
    fi
    if [ -n "$gif" ]; then
        echo "  $gif ($(du -k "$gif" | cut -f1) KiB), $png"
    else
        echo "  $png"
    fi
}

echo "Gallery:"
for script in examples/gallery/*.zir; do
    name="$(basename "$script" .zir)"
    input="examples/gallery/$name.input"
    [ -f "$input" ] || input=""
    render "$script" "$input" "docs/gallery/$name.png" "docs/gallery/$name.gif"
done

echo "Vector pictures:"
for name in umkreis thales; do
    input="examples/gallery/$name.input"
    [ -f "$input" ] || input=""
    "$zirkula" --headless --svg "docs/gallery/$name.svg" ${input:+--input "$input"} \
        "examples/gallery/$name.zir" >/dev/null 2>&1 || true
    echo "  docs/gallery/$name.svg"
done
handout=docs/gallery/umkreis-arbeitsblatt
rm -f "$handout"*.png
"$zirkula" --handout "$handout.pdf" examples/gallery/umkreis.zir >/dev/null 2>&1 || true
pdftoppm -r 60 -png "$handout.pdf" "$handout"
echo "  $handout.pdf, $(ls "$handout"-*.png | wc -l) pages as PNG"

echo "Language reference:"
# Each fenced zirkula block of docs/sprache.md that starts with "' Bild: NAME" becomes
# $work/bilder/NAME.zir, and its "' Eingabe: EVENT" lines $work/bilder/NAME.input.
mkdir -p "$work/bilder"
awk -v dir="$work/bilder" '
    /^```zirkula$/ { inside = 1; first = 1; file = ""; input = ""; next }
    /^```$/        { if (file != "") close(file); if (input != "") close(input); inside = 0; next }
    inside && first {
        first = 0
        if (match($0, /^'"'"' Bild: [a-z0-9-]+/)) file = dir "/" substr($0, 9, RLENGTH - 8)
        if (file != "") { input = file ".input"; file = file ".zir" }
    }
    inside && file != "" && /^'"'"' Eingabe: / { print substr($0, 12) > input }
    inside && file != "" { print > file }
' docs/sprache.md
for script in "$work"/bilder/*.zir; do
    [ -e "$script" ] || continue
    input="${script%.zir}.input"
    [ -f "$input" ] || input=""
    render "$script" "$input" "docs/bilder/$(basename "$script" .zir).png" ""
done

if [ "$missing" -gt 0 ]; then
    echo "$missing picture(s) could not be rendered" >&2
    exit 1
fi
