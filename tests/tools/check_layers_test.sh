#!/usr/bin/env bash
# Runs tools/check-layers.sh on small source trees, one include line each,
# and checks that it refuses exactly the lines that break a rule.
set -uo pipefail
check=${1:-$(dirname "$0")/../../tools/check-layers.sh}
work=$(mktemp -d "${TMPDIR:-/tmp}/check-layers-ü.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
# file, the line it holds, whether the check passes, what its message names
cases=(
  'cli/a.cpp|#include "core/orrindel.h"|pass|'
  'ui/a.cpp|#include "base/errors.h"|pass|'
  'ui/a.h|#include "path/path.h"|pass|'
  'cli/a.cpp|#include "cli/text.h"|pass|'
  'core/a.cpp|#include "core/manifest.h"|pass|'
  'core/a.cpp|#include "mod/mod.h"|pass|'
  'cli/a.cpp|#include "mod/mod.h"|fail|cli includes mod/mod.h: a front end includes only core/, base/ and path/'
  'ui/a.h|#include "creator/import.h"|fail|ui includes creator/import.h'
  'cli/a.cpp|  #  include "xml/parse.h"|fail|cli includes xml/parse.h'
  'ui/a.cpp|#include "diff/diff.h"|fail|ui includes diff/diff.h'
  'cli/a.cpp|#include "core/manifest.h"|fail|cli includes core/manifest.h, a header of the core'"'"'s inside'
  'ui/a.cpp|#include "core/incremental.h"|fail|ui includes core/incremental.h'
  'cli/a.cpp|#include "ui/mainwindow.h"|fail|cli includes ui'
  'core/a.cpp|#include "cli/text.h"|fail|core includes cli, which is not below it'
)

for c in "${cases[@]}"; do
  IFS='|' read -r file text expect message <<<"$c"
  tree="$work/tree"
  rm -rf "$tree"
  mkdir -p "$tree/$(dirname "$file")"
  printf '%s\n' "$text" >"$tree/$file"
  out=$(bash "$check" "$tree" 2>&1)
  rc=$?
  if [ "$expect" = pass ] && [ $rc -ne 0 ]; then
    echo "FAIL: $file with '$text' was refused: $out"
    failures=$((failures + 1))
  elif [ "$expect" = fail ] && [ $rc -eq 0 ]; then
    echo "FAIL: $file with '$text' passed"
    failures=$((failures + 1))
  elif [ "$expect" = fail ] && [[ "$out" != *"$file:1: $message"* ]]; then
    echo "FAIL: $file with '$text': the message does not name the line and '$message': $out"
    failures=$((failures + 1))
  fi
done
[ $failures -eq 0 ] && echo "check-layers: every case as expected"
exit $((failures > 0))
