#!/usr/bin/env bash
# Kills `velmora-cli apply` and a mod save with SIGKILL at random moments and
# checks what is left: the custom-assets folder is always the old tree or the
# new one, complete, a file the user put there is always in it or in a
# complete backup beside it, and the mod file always loads as the old or the
# new mod.
# Usage: tools/kill-test.sh [BUILD_DIR]; KILL_POINTS (default 50) kills of each.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
points=${KILL_POINTS:-50}
cli="$build/velmora-cli"
gamegen="$build/tools/gamegen/velmora-gamegen"
saver="$build/tests/velmora-save-loop"
for p in "$cli" "$gamegen" "$saver"; do
  [ -x "$p" ] || { echo "kill-test: $p is missing; build it first" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-kill-XXXXXX")
trap 'rm -rf "$work"' EXIT
home="$work/home" game="$work/game" ca="$work/My Games/CustomAssets"
run_cli() { "$cli" --home "$home" "$@" </dev/null; }

# A generated game, two mods made from changed copies of its files.
"$gamegen" assets "$game/Assets" --scale 0.2 >/dev/null
mkdir -p "$home"
run_cli prefs --civ4-dir "$game" --custom-assets-dir "$ca" >/dev/null
for seed in 1 2; do
  "$gamegen" modify "$game/Assets" "$work/changed$seed/Assets" --seed "$seed" >/dev/null
  run_cli create "$work/changed$seed/Assets" --name "Kill $seed" >/dev/null
done

# The reference trees: "Kill 1" applied (old), then "Kill 2" instead (new).
run_cli enable "Kill 1" >/dev/null
run_cli apply >/dev/null
cp -a "$ca" "$work/ref-old"
run_cli disable "Kill 1" >/dev/null
run_cli enable "Kill 2" >/dev/null
start=$(date +%s%N)
run_cli apply >/dev/null
full_ns=$(( $(date +%s%N) - start ))
cp -a "$ca" "$work/ref-new"
if diff -rq "$work/ref-old" "$work/ref-new" >/dev/null; then
  echo "kill-test: the two mods give the same tree" >&2; exit 1
fi
echo "apply: $(find "$ca" -type f | wc -l) files, $((full_ns / 1000000)) ms a run; $points kills"

# The manifest holds each file's stamp (time, inode, device), which differs
# from one folder to another: its lines are compared without.
manifest_of() {
  [ -e "$1/.velmora-manifest" ] || return 0
  sed -E 's/^([^ ]+ [^ ]+ [^ ]+) -?[0-9]+ [0-9]+ [0-9]+ /\1 /' "$1/.velmora-manifest"
}
# The build record holds the time of its build: compared without it.
build_record_of() {
  [ -e "$1/.velmora-build" ] || return 0
  grep -v '^time ' "$1/.velmora-build"
}
same_tree() {
  diff -r -x .velmora-manifest -x .velmora-build "$1" "$2" >/dev/null 2>&1 &&
    cmp -s <(manifest_of "$1") <(manifest_of "$2") &&
    cmp -s <(build_record_of "$1") <(build_record_of "$2")
}
mine="res/Fonts/myfont.txt"
# The user's file, where it is now: in the folder, or in a backup of all of it.
take_users_file() {
  local expected=$1 b
  if [ -e "$ca/$mine" ]; then
    [ "$(cat "$ca/$mine")" = "$expected" ] || return 1
    rm -f "$ca/$mine"; rmdir "$ca/res/Fonts" "$ca/res" 2>/dev/null || true
    return 0
  fi
  for b in "$work/My Games"/CustomAssets.velmora-backup-*; do
    [ -e "$b/$mine" ] && [ "$(cat "$b/$mine")" = "$expected" ] || continue
    rm -f "$b/$mine"; rmdir "$b/res/Fonts" "$b/res" 2>/dev/null || true
    same_tree "$b" "$work/ref-old" && return 0
  done
  return 1
}
old=0 new=0
for ((i = 1; i <= points; i++)); do
  rm -rf "$ca" "$work/My Games"/CustomAssets.velmora-backup-*
  cp -a "$work/ref-old" "$ca"
  mkdir -p "$ca/res/Fonts"
  echo "font $i" >"$ca/$mine"
  # Up to a quarter beyond a full run, so that some kills come after the end.
  delay_ns=$(( (RANDOM * 32768 + RANDOM) % (full_ns * 5 / 4 + 1) ))
  # The program itself, not a shell function: $! must be its process.
  "$cli" --home "$home" apply </dev/null >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%09d' $((delay_ns / 1000000000)) $((delay_ns % 1000000000)))"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if ! take_users_file "font $i"; then
    echo "kill-test: apply killed after $((delay_ns / 1000000)) ms lost the user's file $mine:" >&2
    ls -a "$work/My Games" >&2
    exit 1
  fi
  if same_tree "$ca" "$work/ref-old"; then
    old=$((old + 1))
  elif same_tree "$ca" "$work/ref-new"; then
    new=$((new + 1))
  else
    echo "kill-test: apply killed after $((delay_ns / 1000000)) ms left a mixed custom-assets folder:" >&2
    ls -a "$work/My Games" >&2; cat "$home/.velmora/conf" >&2 2>/dev/null || true
    { echo "against the old tree:"; diff -rq "$work/ref-old" "$ca"; echo "against the new tree:"; diff -rq "$work/ref-new" "$ca"; } 2>&1 | head -30 >&2 || true
    exit 1
  fi
done
echo "apply: $points kills survived ($old left the old tree, $new the new one)"

# The mod save: two large mods saved over one file in turn.
modfile="$work/loop.Pellarix"
"$saver" save "$modfile" &
pid=$!
# The first save must be complete before the kills count.
until [ -e "$modfile" ]; do sleep 0.05; done
kill -KILL "$pid"; wait "$pid" 2>/dev/null || true
declare -A seen=()
for ((i = 1; i <= points; i++)); do
  "$saver" save "$modfile" &
  pid=$!
  delay_ms=$((RANDOM % 3000))
  sleep "$((delay_ms / 1000)).$(printf '%03d' $((delay_ms % 1000)))"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if ! which=$("$saver" check "$modfile"); then
    echo "kill-test: a save killed midway left a mod file that is neither mod" >&2
    exit 1
  fi
  seen[$which]=1
done
echo "save: $points kills survived (seen: ${!seen[*]})"
