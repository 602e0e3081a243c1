#!/usr/bin/env bash
# Takes the README's screenshots of profiles and restore points: the main
# window with its profile chooser open and the build's
# fingerprint in the status bar (docs/screenshots/profile-chooser.png), the
# Profile menu (profile-menu.png) and the list of restore points
# (restore-list.png). Velmora runs on a
# private Xvfb display on sample data in a temporary folder, the builds made
# by velmora-cli; nothing of the user's is read or written. Needs the tools
# of tools/screenshots.sh.
#
#   BUILD=build tools/screenshots-profiles.sh      # an existing build with the windows
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
mkdir -p "$mods" "$(dirname "$custom")" "$game/Assets/XML/Units" "$game/Assets/XML/GameInfo"

printf '%s\r\n' '<?xml version="1.0" encoding="ISO-8859-1"?>' \
  '<!-- Sample unit infos -->' \
  '<Civ4UnitInfos xmlns="x-schema:CIV4UnitSchema.xml">' \
  $'\t<UnitInfos>' \
  $'\t\t<UnitInfo>' $'\t\t\t<Class>UNITCLASS_ARCHER</Class>' $'\t\t\t<Type>UNIT_ARCHER</Type>' \
  $'\t\t\t<iCombat>3</iCombat>' $'\t\t</UnitInfo>' \
  $'\t\t<UnitInfo>' $'\t\t\t<Class>UNITCLASS_LONGBOWMAN</Class>' $'\t\t\t<Type>UNIT_LONGBOWMAN</Type>' \
  $'\t\t\t<iCombat>6</iCombat>' $'\t\t</UnitInfo>' \
  $'\t</UnitInfos>' '</Civ4UnitInfos>' > "$game/Assets/XML/Units/CIV4UnitInfos.xml"

# mod FILE NAME VERSION DESCRIPTION [CHANGE...]
mod() {
  local file=$1 name=$2 version=$3 description=$4
  shift 4
  {
    printf '<?xml version="1.0" encoding="utf-8"?>\n<Pellarix>\n'
    printf '  <Name>%s</Name>\n  <Author>Ana</Author>\n' "$name"
    printf '  <Version>%s</Version>\n  <Description>%s</Description>\n' "$version" "$description"
    for change in "$@"; do printf '%s\n' "$change"; done
    printf '</Pellarix>\n'
  } > "$mods/$file"
}
# unit TYPE COMBAT: an xml change of one unit's combat strength.
unit() {
  printf '  <Change file="XML\\Units\\CIV4UnitInfos.xml" type="xml">&lt;Civ4UnitInfos xmlns="x-schema:CIV4UnitSchema.xml"&gt;&lt;UnitInfos&gt;&lt;UnitInfo&gt;&lt;Type&gt;%s&lt;/Type&gt;&lt;iCombat&gt;%s&lt;/iCombat&gt;&lt;/UnitInfo&gt;&lt;/UnitInfos&gt;&lt;/Civ4UnitInfos&gt;</Change>' "$1" "$2"
}
mod "Better Archers.Pellarix" "Better Archers" "1.2" "Archers hit a little harder" "$(unit UNIT_ARCHER 4)"
mod "Longbow Rebalance.Pellarix" "Longbow Rebalance" "2.0" "Longbowmen get +2 strength" "$(unit UNIT_LONGBOWMAN 8)"
mod "Blue Interface.Pellarix" "Blue Interface" "0.9" "A calmer blue colour scheme for the interface"
mod "Quiet Events.Pellarix" "Quiet Events" "1.0" "Fewer random events in the early game"
mod "Larger Maps.Pellarix" "Larger Maps" "3.1" "Adds two map sizes beyond Huge"

cat > "$home/.velmora/conf" <<CONF
<?xml version="1.0"?>
<VelmoraConfig>
  <Civ4Dir>$game</Civ4Dir>
  <ModsDir>$mods</ModsDir>
  <CustomAssetsDir>$custom</CustomAssetsDir>
  <EnabledMod>Better Archers</EnabledMod>
  <EnabledMod>Blue Interface</EnabledMod>
</VelmoraConfig>
CONF
sed -i "s/'/\&apos;/g" "$home/.velmora/conf"

# Three profiles and four builds: the last three kept as restore points.
cli() { HOME=$home "$build/velmora-cli" "$@" >/dev/null; }
cli profile new "Big Rebalance"
cli profile new "Friday Multiplayer"
cli --profile "Big Rebalance" enable "Better Archers" "Longbow Rebalance" "Larger Maps" "Quiet Events"
cli --profile "Friday Multiplayer" enable "Longbow Rebalance" "Blue Interface"
cli apply
cli --profile "Friday Multiplayer" apply
cli --profile "Big Rebalance" apply
cli apply
cli --profile "Big Rebalance" apply
cli profile switch "Big Rebalance"
# The builds were made a minute apart; their records say when a player would
# have made them, the newest last night.
hours=(14 38 61)
i=0
while IFS= read -r record; do
  when=$(( $(date +%s) - ${hours[$i]} * 3600 - 1260 * i ))
  sed -i "s/^time .*/time $when/" "$record/.velmora-build"
  i=$((i + 1))
done < <(ls -d "$(dirname "$custom")"/.CustomAssets.velmora-restore-* | sort -r)

write_gtkrc
start_display

(cd "$build" && HOME=$home GTK2_RC_FILES=$work/gtkrc exec ./velmora) &
velmora=$!
pids+=($velmora)

window=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -1)
xdotool windowsize "$window" 720 400 windowmove "$window" 40 40
xdotool mousemove 1020 715
sleep 1.5
mkdir -p "$out"

# crop FILE: the window with its frame and whatever lies over it (a menu).
crop() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -silent -window root -crop "$((WIDTH + 2))x$((HEIGHT + 27))+$((X - 1))+$((Y - 40))" +repage "$1"
  echo "Saved $1"
}
# The profile chooser open: the profiles, the fingerprint in the status bar.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+r space
sleep 1
crop "$out/profile-chooser.png"
xdotool key --clearmodifiers Escape
sleep 0.5
# The Profile menu.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+p
sleep 1
crop "$out/profile-menu.png"
xdotool key --clearmodifiers Escape
sleep 0.5

# File > Restore Previous Build...
xdotool windowactivate --sync "$window" key --clearmodifiers alt+f
sleep 0.5
xdotool key --clearmodifiers r
if dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Restore Previous Build$' | head -1) && [ -n "$dialog" ]; then
  sleep 1.5
  shot "$dialog" "$out/restore-list.png"
  xdotool key --clearmodifiers Escape
  sleep 0.5
else
  echo "screenshots: the restore list did not appear" >&2
fi
xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+q
for _ in $(seq 50); do kill -0 "$velmora" 2>/dev/null || break; sleep 0.1; done
