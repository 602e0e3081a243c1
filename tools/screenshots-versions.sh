#!/usr/bin/env bash
# Takes the README's screenshot of two versions of one mod in the mods folder
# (docs/screenshots/two-versions.png): the main window tells them apart by
# their files and asks before a second version is enabled. Velmora runs on a
# private Xvfb display on sample data in a temporary folder; nothing of the
# user's is read or written. Needs the tools of tools/screenshots.sh.
#
#   BUILD=build tools/screenshots-versions.sh      # an existing build with the windows
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
mkdir -p "$mods" "$custom" "$game/Assets/XML/Units"

mod() { # FILE NAME VERSION DESCRIPTION
  printf '<?xml version="1.0" encoding="utf-8"?>\n<Pellarix>\n  <Name>%s</Name>\n  <Author>Ana</Author>\n  <Version>%s</Version>\n  <Description>%s</Description>\n</Pellarix>\n' \
    "$2" "$3" "$4" > "$mods/$1"
}
mod "Better Archers.Pellarix" "Better Archers" "1.2" "Archers hit a little harder"
mod "Better Archers 1.3.Pellarix" "Better Archers" "1.3" "Archers hit a little harder; longbows too"
mod "Blue Interface.Pellarix" "Blue Interface" "0.9" "A calmer blue colour scheme for the interface"
mod "Quiet Events.Pellarix" "Quiet Events" "1.0" "Fewer random events in the early game"

cat > "$home/.velmora/conf" <<CONF
<?xml version="1.0"?>
<VelmoraConfig>
  <Civ4Dir>$game</Civ4Dir>
  <ModsDir>$mods</ModsDir>
  <CustomAssetsDir>$custom</CustomAssetsDir>
  <EnabledMod>Better Archers.Pellarix</EnabledMod>
  <EnabledMod>Quiet Events</EnabledMod>
</VelmoraConfig>
CONF
sed -i "s/'/\&apos;/g" "$home/.velmora/conf"

write_gtkrc
start_display

(cd "$build" && HOME=$home GTK2_RC_FILES=$work/gtkrc exec ./velmora) &
velmora=$!
pids+=($velmora)

window=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -1)
xdotool windowsize "$window" 720 360 windowmove "$window" 40 40
xdotool mousemove 1020 715
sleep 1.5
mkdir -p "$out"
shot "$window" "$out/two-versions.png"
xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+q
for _ in $(seq 50); do kill -0 "$velmora" 2>/dev/null || break; sleep 0.1; done
