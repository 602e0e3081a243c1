#!/usr/bin/env bash
# `make demo`: a small made-up game and a few mods, some of which conflict,
# then Velmora started on them with a settings folder of its own.
#
#   build/demo/Civ4/Assets     the sample game (velmora-gamegen, scale 0.02)
#   build/demo/edits/N/Assets  modified copies of some of its files
#   build/demo/home/.velmora   the demo's settings and mods folder
#   build/demo/CustomAssets    where Apply writes the merged files
#
# Everything is made once; delete build/demo to start afresh. Your own
# settings (~/.velmora) are not touched.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build}"
demo="$build/demo"
gamegen="$build/tools/gamegen/velmora-gamegen"
cli="$build/velmora-cli"
home="$demo/home"

for program in "$gamegen" "$cli" "$build/velmora"; do
  if [ ! -x "$program" ]; then
    echo "demo: $program is missing; run \"make build\" first." >&2
    exit 1
  fi
done

# The game, written into a fresh folder and moved into place when complete,
# so that an interrupted run leaves nothing half made.
if [ ! -d "$demo/Civ4/Assets" ]; then
  echo "Generating the sample game in $demo/Civ4/Assets"
  rm -rf "$demo/Civ4.new"
  mkdir -p "$demo/Civ4.new"
  "$gamegen" assets "$demo/Civ4.new/Assets" --seed 1 --scale 0.02 >/dev/null
  mv "$demo/Civ4.new" "$demo/Civ4"
fi

mkdir -p "$home" "$demo/CustomAssets"
"$cli" --home "$home" prefs --civ4-dir "$demo/Civ4" --custom-assets-dir "$demo/CustomAssets" >/dev/null

# Four mods from modified copies with different seeds: copies made from the
# same game often change the same records, so some of these mods conflict.
names=("Stronger Units" "Faster Research" "Richer Cities" "New Leaders")
descriptions=(
  "Changed unit values and a few new units"
  "Cheaper techs and changed research values"
  "Changed buildings and improvements"
  "New leaders and changed leader traits"
)
for i in 0 1 2 3; do
  name="${names[$i]}"
  if [ -e "$home/.velmora/mods/$name.Pellarix" ]; then
    continue
  fi
  edits="$demo/edits/$((i + 1))"
  rm -rf "$edits"
  mkdir -p "$demo/edits"
  "$gamegen" modify "$demo/Civ4/Assets" "$edits/Assets" --seed $((i + 2)) --fraction 0.15 >/dev/null
  echo "Creating the mod \"$name\""
  "$cli" --home "$home" create "$edits" --name "$name" --author "Velmora demo" --version 1.0 \
    --description "${descriptions[$i]}" >/dev/null
done

echo "Starting Velmora with the demo settings (HOME=$home)"
cd "$build"
HOME="$home" exec ./velmora
