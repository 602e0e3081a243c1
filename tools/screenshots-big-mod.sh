#!/usr/bin/env bash
# Takes the README's screenshots of a big mod: the preferences with a base mod
# (docs/screenshots/prefs-base-mod.png; a game with three big mods in its Mods
# folder, AdvCiv picked as the base mod and Combined as the mod target), and
# what the main window says after an apply into the mod target.
# Velmora runs on a private Xvfb display on sample folders in a temporary
# folder; nothing of the user's is read or written. Needs the tools of
# tools/screenshots.sh.
#
#   BUILD=build tools/screenshots-big-mod.sh      # an existing build with the windows
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
for mod in AdvCiv "BUG Mod" "Rise of Mankind"; do
  mkdir -p "$game/Mods/$mod/Assets/XML"
done
printf '[CONFIG]\r\nMod = 0\r\n' > "$work/My Games/Beyond the Sword/CivilizationIV.ini"

cat > "$home/.velmora/conf" <<CONF
<?xml version="1.0"?>
<VelmoraConfig>
  <Civ4Dir>$game</Civ4Dir>
  <ModsDir>$mods</ModsDir>
  <CustomAssetsDir>$custom</CustomAssetsDir>
  <BaseMod>$game/Mods/AdvCiv</BaseMod>
  <ModTarget>Combined</ModTarget>
  <GameIniMod>yes</GameIniMod>
</VelmoraConfig>
CONF
sed -i "s/'/\&apos;/g" "$home/.velmora/conf"

write_gtkrc
start_display

(cd "$build" && HOME=$home GTK2_RC_FILES=$work/gtkrc exec ./velmora) &
velmora=$!
pids+=($velmora)

main=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -1)
xdotool windowactivate --sync "$main" key --clearmodifiers ctrl+comma
window=$(xdotool search --sync --onlyvisible --name '^Velmora Preferences$' | head -1)
xdotool windowmove "$window" 40 40
xdotool mousemove 1020 715
sleep 1.5
mkdir -p "$out"
shot "$window" "$out/prefs-base-mod.png"
xdotool windowactivate --sync "$window" key --clearmodifiers Escape
sleep 0.5

# Apply into the mod target: the dialog that says how to start it
# (docs/screenshots/mod-target-applied.png).
xdotool windowactivate --sync "$main" key --clearmodifiers alt+a
sleep 3
dialog=$(xdotool getactivewindow)
shot "$dialog" "$out/mod-target-applied.png"
xdotool key --clearmodifiers Return
sleep 0.5
xdotool windowactivate --sync "$main" key --clearmodifiers ctrl+q
for _ in $(seq 50); do kill -0 "$velmora" 2>/dev/null || break; sleep 0.1; done
