#!/usr/bin/env bash
# Takes the screenshots shown in the README: Velmora's main window with a few
# mods listed (docs/screenshots/main-window.png) and the priority dialog it
# shows when two enabled mods change the same unit (docs/screenshots/
# priority-dialog.png). Velmora runs on a private Xvfb display with a window
# manager, on sample game data and mods in a temporary folder; nothing of the
# user's is read or written. Installs the few tools it needs when missing.
#
#   tools/screenshots.sh            # builds in build/ first
#   BUILD=build-ui tools/screenshots.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
out=$root/docs/screenshots

# --- tools -----------------------------------------------------------------
missing=()
command -v import >/dev/null || missing+=(imagemagick)
command -v xdotool >/dev/null || missing+=(xdotool)
command -v openbox >/dev/null || missing+=(openbox)
command -v Xvfb >/dev/null || missing+=(xvfb)
[ -e /usr/share/themes/Clearlooks/gtk-2.0/gtkrc ] || missing+=(gtk2-engines)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# --- program -----------------------------------------------------------------
if [ -e "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" >/dev/null
else
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
targets=(velmora)
if grep -q '^velmora-gamegen:' "$build/Makefile" 2>/dev/null; then targets+=(velmora-gamegen); fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# --- sample data ---------------------------------------------------------------
source "$root/tools/screenshot-display.sh"

home=$work/home
game="$work/Sid Meier's Civilization 4/Beyond the Sword"
custom="$work/My Games/Beyond the Sword/CustomAssets"
mods=$home/.velmora/mods
mkdir -p "$mods" "$custom"

if [ -x "$build/tools/gamegen/velmora-gamegen" ]; then
  "$build/tools/gamegen/velmora-gamegen" assets "$game/Assets" --scale 0.02 >/dev/null
else
  mkdir -p "$game/Assets/XML/Units"
  printf '%s\r\n' '<?xml version="1.0" encoding="ISO-8859-1"?>' \
    '<!-- Sample unit infos -->' \
    '<Civ4UnitInfos xmlns="x-schema:CIV4UnitSchema.xml">' \
    $'\t<UnitInfos>' \
    $'\t\t<UnitInfo>' $'\t\t\t<Class>UNITCLASS_ARCHER</Class>' $'\t\t\t<Type>UNIT_ARCHER</Type>' \
    $'\t\t\t<iCombat>3</iCombat>' $'\t\t</UnitInfo>' \
    $'\t</UnitInfos>' '</Civ4UnitInfos>' > "$game/Assets/XML/Units/CIV4UnitInfos.xml"
fi

# mod FILE NAME VERSION AUTHOR DESCRIPTION [CHANGE...]
mod() {
  local file=$1 name=$2 version=$3 author=$4 description=$5
  shift 5
  {
    printf '<?xml version="1.0" encoding="utf-8"?>\n<Pellarix>\n'
    printf '  <Name>%s</Name>\n  <Author>%s</Author>\n' "$name" "$author"
    printf '  <Version>%s</Version>\n  <Description>%s</Description>\n' "$version" "$description"
    for change in "$@"; do printf '%s\n' "$change"; done
    printf '</Pellarix>\n'
  } > "$mods/$file"
}
# An xml change that sets the archer's combat strength.
archer() {
  printf '  <Change file="XML\\Units\\CIV4UnitInfos.xml" type="xml">&lt;Civ4UnitInfos xmlns="x-schema:CIV4UnitSchema.xml"&gt;&lt;UnitInfos&gt;&lt;UnitInfo&gt;&lt;Type&gt;UNIT_ARCHER&lt;/Type&gt;&lt;iCombat&gt;%s&lt;/iCombat&gt;&lt;/UnitInfo&gt;&lt;/UnitInfos&gt;&lt;/Civ4UnitInfos&gt;</Change>' "$1"
}
mod "Better Archers.Pellarix" "Better Archers" "1.2" "Ana" "Archers hit a little harder" "$(archer 4)"
mod "Longbow Rebalance.Pellarix" "Longbow Rebalance" "2.0" "Bo" "Early archery units get +2 strength" "$(archer 5)"
mod "Blue Interface.Pellarix" "Blue Interface" "0.9" "Cy" "A calmer blue colour scheme for the interface"
mod "Quiet Events.Pellarix" "Quiet Events" "1.0" "Di" "Fewer random events in the early game"
mod "Larger Maps.Pellarix" "Larger Maps" "3.1" "Ed" "Adds two map sizes beyond Huge"

cat > "$home/.velmora/conf" <<CONF
<?xml version="1.0"?>
<VelmoraConfig>
  <Civ4Dir>$game</Civ4Dir>
  <ModsDir>$mods</ModsDir>
  <CustomAssetsDir>$custom</CustomAssetsDir>
  <EnabledMod>Better Archers</EnabledMod>
  <EnabledMod>Longbow Rebalance</EnabledMod>
  <EnabledMod>Quiet Events</EnabledMod>
</VelmoraConfig>
CONF
sed -i "s/'/\&apos;/g" "$home/.velmora/conf"

write_gtkrc

# --- display -----------------------------------------------------------------
start_display

(cd "$build" && HOME=$home GTK2_RC_FILES=$work/gtkrc exec ./velmora) &
velmora=$!
pids+=($velmora)

window=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -1)
xdotool windowsize "$window" 720 420 windowmove "$window" 40 40
# The pointer away from the windows: no tooltip in the pictures.
xdotool mousemove 1020 715
sleep 1.5

mkdir -p "$out"
shot "$window" "$out/main-window.png"

# Apply: the two archer mods conflict, so Velmora asks which one wins and
# shows what each changes.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+a
if dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Conflict Between Mods$' | head -1) && [ -n "$dialog" ]; then
  # Unfold the details: what each mod changes in the archer.
  xdotool windowactivate --sync "$dialog" key --clearmodifiers alt+d
  sleep 1.5
  shot "$dialog" "$out/priority-dialog.png"
  # No answer: Velmora then says that the conflict stays unresolved.
  xdotool key --clearmodifiers Escape
  sleep 1
  xdotool key --clearmodifiers Escape
  sleep 0.5
else
  echo "screenshots: the priority dialog did not appear" >&2
fi
xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+q
for _ in $(seq 50); do kill -0 "$velmora" 2>/dev/null || break; sleep 0.1; done
