#!/usr/bin/env bash
# Lists the test cases that were skipped, with their reasons, from the XML reports the
# test programs wrote into the given folder (GTEST_OUTPUT=xml:<folder>/), and the script
# tests that skipped as a whole ("SKIPPED: why" in ctest's log, when given).
set -euo pipefail
folder="$1"
log="${2:-}"
shopt -s nullglob
reports=("$folder"/*.xml)
: >"$folder/scripts.txt"
if [ -n "$log" ] && [ -f "$log" ]; then
  awk '
    /^[0-9]+\/[0-9]+ Test: / { test = $3 }
    /^SKIPPED: / { sub(/^SKIPPED: /, ""); printf "  %s: %s\n", test, $0 }
  ' "$log" >"$folder/scripts.txt"
fi
[ ${#reports[@]} -gt 0 ] || [ -s "$folder/scripts.txt" ] || exit 0
awk '
  function attr(key,   s) {
    if (!match($0, key "=\"[^\"]*\"")) return ""
    s = substr($0, RSTART + length(key) + 2, RLENGTH - length(key) - 3)
    gsub(/&#x0A;/, "\n", s); gsub(/&#x0D;/, "", s)
    gsub(/&quot;/, "\"", s); gsub(/&apos;/, "\047", s)
    gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&amp;/, "\\&", s)
    return s
  }
  FNR == 1 {
    program = FILENAME
    sub(/.*\//, "", program); sub(/\.xml$/, "", program); sub(/_[0-9]+$/, "", program)
  }
  /<testcase / { skipped = $0 ~ /result="skipped"/; name = attr("classname") "." attr("name") }
  skipped && /<skipped / {
    why = attr("message")
    sub(/^[^\n]*:[0-9]+\n/, "", why)   # the file and line the skip is written at
    sub(/^Skipped\n/, "", why)
    gsub(/\n/, " ", why)
    lines[++n] = sprintf("  %s %s: %s", program, name, why)
    skipped = 0
  }
  FILENAME ~ /scripts\.txt$/ { lines[++n] = $0 }
  END {
    if (n == 0) exit
    printf "\n%d test case%s skipped:\n", n, n == 1 ? " was" : "s were"
    for (i = 1; i <= n; ++i) print lines[i] | "sort"
    close("sort")
  }
' "${reports[@]}" "$folder/scripts.txt"
