#!/usr/bin/env bash
# Takes the README's screenshots of who won what: the Build window after an
# apply of five mods with their conflicts answered (docs/screenshots/
# build-window.png), and the Conflicts page of one mod's properties
# (docs/screenshots/conflicts-page.png). Velmora runs on a private Xvfb
# display on sample data in a temporary folder; nothing of the user's is read
# or written. Needs the tools of tools/screenshots.sh.
#
#   BUILD=build tools/screenshots-build.sh      # an existing build with the windows and velmora-cli
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
out=$root/docs/screenshots

source "$root/tools/screenshot-display.sh"

home=$work/home
game="$work/Sid Meier's Civilization 4/Beyond the Sword"
custom="$work/My Games/Beyond the Sword/CustomAssets"
mods=$home/.velmora/mods
mkdir -p "$mods" "$custom" "$game/Assets/XML/Units" "$game/Assets/Python"

# The game's units and event script, as the game writes them: a comment
# before the root, the schema's namespace, tabs and CRLF.
unit() { # TYPE CLASS COMBAT COST
  printf '%s\r\n' $'\t\t<UnitInfo>' $'\t\t\t<Class>'"$2"'</Class>' $'\t\t\t<Type>'"$1"'</Type>' \
    $'\t\t\t<iCost>'"$4"'</iCost>' $'\t\t\t<iCombat>'"$3"'</iCombat>' $'\t\t\t<iMoves>1</iMoves>' $'\t\t</UnitInfo>'
}
{
  printf '%s\r\n' '<?xml version="1.0" encoding="ISO-8859-1"?>' '<!-- Sample unit infos -->' \
    '<Civ4UnitInfos xmlns="x-schema:CIV4UnitSchema.xml">' $'\t<UnitInfos>'
  unit UNIT_WARRIOR UNITCLASS_WARRIOR 1 15
  unit UNIT_ARCHER UNITCLASS_ARCHER 3 25
  unit UNIT_SWORDSMAN UNITCLASS_SWORDSMAN 6 40
  unit UNIT_LONGBOWMAN UNITCLASS_LONGBOWMAN 6 60
  printf '%s\r\n' $'\t</UnitInfos>' '</Civ4UnitInfos>'
} > "$game/Assets/XML/Units/CIV4UnitInfos.xml"
{
  printf '# Sample event manager\nimport CvUtil\n\nclass CvEventManager:\n'
  for i in $(seq 1 12); do printf '\tdef onEvent%d(self, argsList):\n\t\treturn %d\n' "$i" "$i"; done
} > "$game/Assets/Python/CvEventManager.py"

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
# units RECORD... : an xml change of the unit infos; each RECORD "TYPE field=value ..."
units() {
  local body="" record type field
  for record in "$@"; do
    read -r type rest <<<"$record"
    body+="&lt;UnitInfo&gt;&lt;Type&gt;$type&lt;/Type&gt;"
    for field in $rest; do body+="&lt;${field%%=*}&gt;${field#*=}&lt;/${field%%=*}&gt;"; done
    body+="&lt;/UnitInfo&gt;"
  done
  printf '  <Change file="XML\\Units\\CIV4UnitInfos.xml" type="xml">&lt;Civ4UnitInfos xmlns="x-schema:CIV4UnitSchema.xml"&gt;&lt;UnitInfos&gt;%s&lt;/UnitInfos&gt;&lt;/Civ4UnitInfos&gt;</Change>' "$body"
}
# events LINE OLD NEW: a difference of the event manager changing one return value.
events() {
  printf '  <Change file="Python\\CvEventManager.py" type="diff">@@ -%d,3 +%d,3 @@\n \tdef onEvent%d(self, argsList):\n-\t\treturn %d\n+\t\treturn %d\n \tdef onEvent%d(self, argsList):\n</Change>' \
    "$1" "$1" "$2" "$2" "$3" "$(($2 + 1))"
}
mod "Better Archers.Pellarix" "Better Archers" "1.2" "Ana" "Archers hit a little harder" \
  "$(units "UNIT_ARCHER iCombat=4 iCost=30")"
mod "Longbow Rebalance.Pellarix" "Longbow Rebalance" "2.0" "Bo" "Early archery units get +2 strength" \
  "$(units "UNIT_ARCHER iCombat=5" "UNIT_LONGBOWMAN iCombat=8")"
mod "Tough Warriors.Pellarix" "Tough Warriors" "1.0" "Cy" "Warriors defend better; archers cost more" \
  "$(units "UNIT_WARRIOR iCombat=2 iMoves=1" "UNIT_ARCHER iCost=35")"
mod "Quiet Events.Pellarix" "Quiet Events" "1.0" "Di" "Fewer random events in the early game" \
  "$(events 5 1 0)"
mod "Event Tweaks.Pellarix" "Event Tweaks" "0.3" "Ed" "Small changes to two event handlers" \
  "$(events 13 5 50)"
mod "Blue Interface.Pellarix" "Blue Interface" "0.9" "Fa" "A calmer blue colour scheme for the interface"

cat > "$home/.velmora/conf" <<CONF
<?xml version="1.0"?>
<VelmoraConfig>
  <Civ4Dir>$game</Civ4Dir>
  <ModsDir>$mods</ModsDir>
  <CustomAssetsDir>$custom</CustomAssetsDir>
  <EnabledMod>Better Archers</EnabledMod>
  <EnabledMod>Longbow Rebalance</EnabledMod>
  <EnabledMod>Tough Warriors</EnabledMod>
  <EnabledMod>Quiet Events</EnabledMod>
  <EnabledMod>Event Tweaks</EnabledMod>
</VelmoraConfig>
CONF
sed -i "s/'/\&apos;/g" "$home/.velmora/conf"

# The conflicts answered once and remembered, as a user who applied before.
HOME=$home "$build/velmora-cli" apply --prefer "Longbow Rebalance:Better Archers" \
  --prefer "Tough Warriors:Better Archers" --prefer "Tough Warriors:Longbow Rebalance" --remember >/dev/null

write_gtkrc
start_display

(cd "$build" && HOME=$home GTK2_RC_FILES=$work/gtkrc exec ./velmora) &
velmora=$!
pids+=($velmora)

window=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -1)
xdotool windowsize "$window" 720 360 windowmove "$window" 20 20
xdotool mousemove 1020 715
sleep 1

# View > Build.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+v
sleep 0.5
xdotool key --clearmodifiers b
build_window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Build$' | head -1)
xdotool windowsize "$build_window" 760 520 windowmove "$build_window" 60 60
xdotool mousemove 1020 715
sleep 1.5
mkdir -p "$out"
shot "$build_window" "$out/build-window.png"
xdotool windowactivate --sync "$build_window" key --clearmodifiers Escape
sleep 0.5

# The properties of Better Archers, the first mod listed, on their Conflicts page.
xdotool windowactivate --sync "$window"
# Its description, under the profile chooser: a click on its name would tick its box.
xdotool mousemove 480 159 click 1
sleep 0.3
xdotool key --clearmodifiers alt+Return
props=$(timeout 20 xdotool search --sync --onlyvisible --name '^Properties of ' | head -1)
xdotool windowactivate --sync "$props" key --clearmodifiers alt+f
xdotool windowsize "$props" 620 360
xdotool mousemove 1020 715
sleep 1.5
shot "$props" "$out/conflicts-page.png"
xdotool windowactivate --sync "$props" key --clearmodifiers Escape
sleep 0.5
xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+q
for _ in $(seq 50); do kill -0 "$velmora" 2>/dev/null || break; sleep 0.1; done
