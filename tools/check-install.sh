#!/usr/bin/env bash
# Installs a build folder the way a packager does (DESTDIR, a prefix of its
# own), then runs the installed velmora-cli from an unrelated folder: it must
# find its data files beside its own bin folder, also once the whole install is
# moved elsewhere. Usage: check-install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install-é-XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "check-install: $*" >&2; exit 1; }

prefix=/opt/velmora-check
DESTDIR="$work/dest" cmake --install "$build" --prefix "$prefix" >/dev/null
root="$work/dest$prefix"
for f in bin/velmora-cli share/velmora/elements.txt share/velmora/references.txt share/man/man1/velmora-cli.1; do
  [ -f "$root/$f" ] || fail "the install lacks $f"
done
if [ -f "$build/velmora" ]; then
  for f in bin/velmora share/velmora/velmora.glade share/applications/org.velmora.Velmora.desktop \
           share/metainfo/org.velmora.Velmora.metainfo.xml share/icons/hicolor/scalable/apps/velmora.svg \
           share/icons/hicolor/48x48/apps/velmora.png share/icons/hicolor/256x256/apps/velmora.png; do
    [ -f "$root/$f" ] || fail "the install lacks $f"
  done
fi

mkdir -p "$work/home" "$work/elsewhere"
cd "$work/elsewhere"
run_list() {
  "$1/bin/velmora-cli" --home "$work/home" list >"$work/out" 2>&1 || fail "$1/bin/velmora-cli list failed: $(cat "$work/out")"
}
run_list "$root"

# Moved as a whole, the install still works.
mv "$work/dest" "$work/moved"
run_list "$work/moved$prefix"

# Without its share folder it fails, naming it: the data came from there, not
# from the build folder or the current one.
if [ ! -f "$(grep -m1 '^CMAKE_INSTALL_PREFIX:' "$build/CMakeCache.txt" | cut -d= -f2)/share/velmora/elements.txt" ]; then
  mv "$work/moved$prefix/share/velmora" "$work/moved$prefix/share/velmora-gone"
  if "$work/moved$prefix/bin/velmora-cli" --home "$work/home" list >"$work/out" 2>&1; then
    fail "velmora-cli started without its data files"
  fi
  grep -q 'Cannot find the data file "elements.txt"' "$work/out" || fail "unexpected message: $(cat "$work/out")"
  grep -q "share/velmora" "$work/out" || fail "the message does not name share/velmora: $(cat "$work/out")"
fi
echo "The installed velmora-cli finds its data files from another folder, also when moved."
