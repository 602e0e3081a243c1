#!/usr/bin/env bash
# tools/check-layers.sh run on small planted source trees: each case is one
# file, whether the check must refuse it, and what its message must say
# (file and line first).
set -uo pipefail
check=${1:?usage: check_layers_test.sh PATH/TO/check-layers.sh}

work=$(mktemp -d -t "velmora layers é.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
# name | file | content (\n between lines) | expected: "ok" or the message's start
cases=(
  "upward include|mod/a.cpp|#include \"mod/b.h\"\n#include \"core/c.h\"|mod/a.cpp:2: mod includes core"
  "sideways include|xml/a.cpp|#include \"diff/diff.h\"|xml/a.cpp:1: xml includes diff"
  "libxml2 header outside xml|mod/a.cpp|#include <libxml++/nodes/element.h>\n#include <libxml/tree.h>|mod/a.cpp:2: names libxml2"
  "libxml2 node type|creator/a.cpp|int f();\nconst xmlNode* n = nullptr;|creator/a.cpp:2: names libxml2"
  "libxml2 struct in a header|core/a.h|struct _xmlNode;|core/a.h:1: names libxml2"
  "libxml2 call|mod/a.cpp|void f() { xmlFreeNode(n); }|mod/a.cpp:1: names libxml2"
  "libxml2 node kind|cli/a.cpp|\n\nbool e = n->type == XML_ELEMENT_NODE;|cli/a.cpp:3: names libxml2"
  "C node of a libxml++ object|ui/a.cpp|auto* n = element->cobj();|ui/a.cpp:1: names libxml2"
  "libxml2 cast macro|diff/a.cpp|auto p = BAD_CAST \"x\";|diff/a.cpp:1: names libxml2"
  "the library's exception|core/a.cpp|catch (const xmlpp::exception& e) {}|core/a.cpp:1: names the XML library's exception"
  "libxml2 inside xml|xml/a.cpp|#include <libxml/tree.h>\nxmlNode* n = e->cobj();|ok"
  "libxml2 in the tests|tests/a.cpp|#include <libxml/tree.h>\nxmlNode* n;|ok"
  "a front end and a header of mod|cli/a.cpp|#include \"core/orrindel.h\"\n#include \"mod/mod.h\"|cli/a.cpp:2: cli includes mod/mod.h: a front end includes only core/, base/ and path/"
  "a front end and a header of creator|ui/a.h|#include \"creator/import.h\"|ui/a.h:1: ui includes creator/import.h"
  "a front end and a header of xml, spaced|cli/a.cpp|  #  include \"xml/parse.h\"|cli/a.cpp:1: cli includes xml/parse.h"
  "a front end and a header of diff|ui/a.cpp|#include \"diff/diff.h\"|ui/a.cpp:1: ui includes diff/diff.h"
  "a front end and the core's inside|cli/a.cpp|#include \"core/manifest.h\"|cli/a.cpp:1: cli includes core/manifest.h, a header of the core's inside"
  "a window and the core's inside|ui/a.cpp|#include \"core/incremental.h\"|ui/a.cpp:1: ui includes core/incremental.h"
  "one front end and the other|cli/a.cpp|#include \"ui/mainwindow.h\"|cli/a.cpp:1: cli includes ui"
  "a front end through the door|cli/a.cpp|#include \"core/orrindel.h\"\n#include \"core/new_mod.h\"\n#include \"base/errors.h\"\n#include \"path/path.h\"\n#include \"cli/text.h\"|ok"
  "the core and its inside|core/a.cpp|#include \"core/manifest.h\"\n#include \"mod/mod.h\"|ok"
  "libxml++ objects and our own names|mod/a.cpp|#include \"xml/tree.h\"\nxmlpp::Element* e;\nTreeNode n(e);\nauto t = parse_xml_text(s);\nif (c.type == Change::XML) {}\nstd::string xml_text, html;|ok"
)

for entry in "${cases[@]}"; do
  IFS='|' read -r name file content expected <<<"$entry"
  tree="$work/tree"
  rm -rf "$tree"
  mkdir -p "$tree/$(dirname "$file")"
  printf '%b\n' "$content" >"$tree/$file"
  output=$(bash "$check" "$tree" 2>&1)
  status=$?
  if [ "$expected" = ok ]; then
    if [ $status -ne 0 ]; then
      echo "FAIL $name: refused ($output)"
      failures=$((failures + 1))
    fi
  elif [ $status -eq 0 ]; then
    echo "FAIL $name: passed, expected \"$expected\""
    failures=$((failures + 1))
  elif [[ "$output" != "$expected"* ]]; then
    echo "FAIL $name: said \"$output\", expected \"$expected...\""
    failures=$((failures + 1))
  fi
done

[ $failures -eq 0 ] && echo "check-layers refuses every planted fault and passes the rest"
exit $((failures > 0))
