#!/usr/bin/env bash
# Checks that each source folder includes only itself and the folders below it,
# and that the XML library is named only in xml/.
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

# The front ends see the core through its door: the core's headers, and base/
# and path/ beside them, never a header of a folder below the core. These
# headers of core/ are its inside: how apply keeps and rebuilds its folders.
core_inside=(core/conflict_reports.h core/custom_assets.h core/incremental.h core/manifest.h)
for folder in cli ui; do
  [ -d "$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    header=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"${rest#*:}")
    case "${header%%/*}" in
      "$folder" | base | path) ;;
      core)
        for inside in "${core_inside[@]}"; do
          if [ "$header" = "$inside" ]; then
            echo "$file:$line: $folder includes $header, a header of the core's inside" >&2
            status=1
          fi
        done ;;
      *)
        echo "$file:$line: $folder includes $header: a front end includes only core/, base/ and path/" >&2
        status=1 ;;
    esac
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' --include='*.h' --include='*.cpp' "$folder" || true)
done

# The XML library's exception stays behind its edge in xml/ (xml/library.h):
# every other folder of the program meets XmlLibraryError, or its own errors.
while IFS= read -r hit; do
  echo "${hit%%:*}:$(cut -d: -f2 <<<"$hit"): names the XML library's exception outside xml/" >&2
  status=1
done < <(grep -rnE 'xmlpp::(exception|internal_error|parse_error|validity_error)|libxml\+\+/exceptions/' \
  --include='*.h' --include='*.cpp' path base diff mod creator core cli ui 2>/dev/null || true)

# So do libxml2's own types and calls (xmlNode, xmlFreeNode, XML_ELEMENT_NODE,
# BAD_CAST, the C node behind a libxml++ object): the walks and edits of the
# tree are xml/tree.h's, on its TreeNode handles.
while IFS= read -r hit; do
  echo "${hit%%:*}:$(cut -d: -f2 <<<"$hit"): names libxml2's types or calls outside xml/ (use xml/tree.h)" >&2
  status=1
done < <(grep -rnE '#[[:space:]]*include[[:space:]]*<libxml/|\b_?xml[A-Z][A-Za-z]*\b|\bXML_[A-Z]|\bBAD_CAST\b|\bcobj[[:space:]]*\(' \
  --include='*.h' --include='*.cpp' path base diff mod creator core cli ui 2>/dev/null || true)

if [ $status -eq 0 ]; then
  echo "Every folder includes only the folders below it, the front ends only the core's public headers, base/ and path/, and the XML library's exception and libxml2's types stay in xml/."
fi
exit $status
