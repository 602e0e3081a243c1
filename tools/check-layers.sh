#!/usr/bin/env bash
# Checks that each source folder includes only itself and the folders below it.
# The layers, bottom first; folders on one line are peers and include neither
# each other nor anything above them.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

layers=(
  "path"
  "base"
  "xml diff"
  "mod"
  "creator"
  "core"
  "cli ui"
)

declare -A level
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do level[$folder]=$i; done
done

status=0
for folder in "${!level[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"${rest#*:}")
    [ -n "$target" ] || continue
    [ "$target" = "$folder" ] && continue
    if [ -z "${level[$target]+x}" ]; then
      echo "$file:$line: includes \"$target/...\", a folder that is not a layer" >&2
      status=1
    elif [ "${level[$target]}" -ge "${level[$folder]}" ]; then
      echo "$file:$line: $folder includes $target, which is not below it" >&2
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.h' --include='*.cpp' "$folder" || true)
done

if [ $status -eq 0 ]; then
  echo "Every folder includes only the folders below it."
fi
exit $status
