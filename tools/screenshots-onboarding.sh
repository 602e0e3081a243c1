#!/usr/bin/env bash
# Takes the README's screenshots of a new user's first steps: the dialog that
# offers the games found at first start (docs/screenshots/detect-dialog.png),
# the empty main window that says what to do (first-start.png), the archive
# chosen in "Mod > Import Archive..." (import-archive.png), the form of the new
# mod's header (import-form.png) and the imported mod in the list
# (import-done.png). Velmora runs on a private Xvfb display, with a
# made-up home folder holding a Steam library, a Wine prefix and a downloaded
# mod archive in a temporary folder; nothing of the user's is read or written.
# Needs the tools of tools/screenshots.sh (it installs them).
#
#   tools/screenshots-onboarding.sh            # builds in build/ first
#   BUILD=build-ui tools/screenshots-onboarding.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
out=$root/docs/screenshots

for tool in import xdotool openbox Xvfb python3; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (tools/screenshots.sh installs it)" >&2; exit 1; }
done
cmake --build "$build" -j 2 --target velmora velmora-gamegen

source "$root/tools/screenshot-display.sh"

# --- a home folder as a Linux player's ------------------------------------------
home=$work/home
steamapps=$home/.local/share/Steam/steamapps
install="$steamapps/common/Sid Meier's Civilization IV Beyond the Sword"
"$build/tools/gamegen/velmora-gamegen" assets "$install/Beyond the Sword/Assets" --scale 0.02 >/dev/null
mkdir -p "$install/Assets/XML" "$install/Warlords/Assets/XML"
touch "$install/Civilization4.exe" "$install/Warlords/Civ4Warlords.exe" "$install/Beyond the Sword/Civ4BeyondSword.exe"
printf '"AppState"\n{\n\t"appid"\t\t"8800"\n\t"installdir"\t\t"Sid Meier'"'"'s Civilization IV Beyond the Sword"\n}\n' \
  > "$steamapps/appmanifest_8800.acf"
mkdir -p "$steamapps/compatdata/8800/pfx/drive_c/users/steamuser/Documents"
wine="$home/.wine/drive_c/Program Files/Firaxis Games/Sid Meier's Civilization 4"
mkdir -p "$wine/Assets/XML" "$wine/Warlords/Assets/XML" "$home/.wine/drive_c/users/player/Documents"
touch "$wine/Civilization4.exe" "$wine/Warlords/Civ4Warlords.exe"

# A mod as forums share them: its Assets folder inside a folder, and a readme.
download=$home/Downloads
mkdir -p "$download"
"$build/tools/gamegen/velmora-gamegen" modify "$install/Beyond the Sword/Assets" "$work/modified" --fraction 0.05 >/dev/null
python3 - "$work/modified" "$download/Better_Archers_v1.2.zip" <<'PY'
import os, sys, zipfile
src, target = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as z:
    for folder, _, files in os.walk(src):
        for f in files:
            path = os.path.join(folder, f)
            z.write(path, "Better Archers/Assets/" + os.path.relpath(path, src))
    z.writestr("Better Archers/Readme.txt", "Archers and longbows hit harder; cities get a little more defence.\r\n")
PY

write_gtkrc

# --- display -----------------------------------------------------------------
start_display

(cd "$build" && HOME=$home GTK2_RC_FILES=$work/gtkrc WINEPREFIX= exec ./velmora) &
velmora=$!
pids+=($velmora)

mkdir -p "$out"
find_window() { # title
  timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1
}

# First start: no game folder yet, so Velmora offers what it found.
dialog=$(find_window '^Civilization IV Found$')
xdotool windowsize "$dialog" 940 260 windowmove "$dialog" 40 120
xdotool mousemove 1020 715
sleep 1.5
shot "$dialog" "$out/detect-dialog.png"
xdotool windowactivate --sync "$dialog" key --clearmodifiers Escape
sleep 1

window=$(find_window '^Velmora$')
xdotool windowsize "$window" 720 420 windowmove "$window" 40 40
sleep 1.5
shot "$window" "$out/first-start.png"

# Detect again from the empty list and take the game offered.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+d
dialog=$(find_window '^Civilization IV Found$')
sleep 0.5
xdotool windowactivate --sync "$dialog" key --clearmodifiers Return
sleep 1

# Mod > Import Archive...: the downloaded archive.
xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+i
chooser=$(find_window '^Import Mod Archive$')
xdotool windowsize "$chooser" 760 460 windowmove "$chooser" 60 60
sleep 0.5
xdotool key --clearmodifiers ctrl+l
xdotool type --delay 5 "Better_Archers_v1.2.zip"
sleep 1.5
shot "$chooser" "$out/import-archive.png"
xdotool key --clearmodifiers Return
sleep 1.5
# The form of the new mod's header, with what the archive's name suggests.
form=$(xdotool search --sync --onlyvisible --name '^Import Mod Archive$' | tail -1)
xdotool windowmove "$form" 120 120
sleep 0.5
shot "$form" "$out/import-form.png"
xdotool windowactivate --sync "$form" key --clearmodifiers Return
sleep 4
xdotool windowactivate --sync "$window"
xdotool mousemove 1020 715
sleep 2
shot "$window" "$out/import-done.png"

xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+q
for _ in $(seq 50); do kill -0 "$velmora" 2>/dev/null || break; sleep 0.1; done
