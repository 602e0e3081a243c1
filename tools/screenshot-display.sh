# Sourced by the screenshot scripts: a temporary folder $work, the theme of the
# pictures, a private Xvfb display with a window manager, and taking a window's
# picture. At exit the processes in the array pids are stopped and $work is
# removed.

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-screenshots-XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Writes $work/gtkrc, for GTK2_RC_FILES: the same theme and font on every machine.
write_gtkrc() {
  cat > "$work/gtkrc" <<'RC'
gtk-theme-name = "Clearlooks"
gtk-font-name = "DejaVu Sans 9"
include "/usr/share/themes/Clearlooks/gtk-2.0/gtkrc"
RC
}

# Starts Xvfb on a free-looking display number and exports DISPLAY; openbox
# draws the window frames and gives focus.
start_display() {
  local display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x720x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
}

shot() { # window file
  import -silent -frame -window "$1" "$2"
  echo "Saved $2"
}
