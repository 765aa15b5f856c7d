#!/usr/bin/env bash
# Holds a 32-bit Windows program against what Windows XP SP3 exports
# (winxp-exports/ beside this script): each function it imports by name must
# be in its DLL's list, each one imported by ordinal in the DLL's list of
# ordinals, and its PE header may ask for no Windows newer than 5.1. XP
# refuses to load a program that breaks any of these. Names every import XP
# lacks with its DLL; exit status 1 then.
#   xp_imports.sh OBJDUMP EXE
set -euo pipefail
lists=$(cd "$(dirname "$0")" && pwd)/winxp-exports
objdump=$1 exe=$2
dump=$("$objdump" -p "$exe") || { echo "$exe: $objdump cannot read it"; exit 2; }
awk -v lists="$lists" '
  function load(d,   f, line, p) {
    if (d in have) return have[d]
    have[d] = 0
    f = lists "/" d ".txt"
    while ((getline line < f) > 0) { named[d, line] = 1; have[d] = 1 }
    close(f)
    f = lists "/" d ".noname.txt"
    while ((getline line < f) > 0) { split(line, p, " "); ordinal[d, p[1]] = 1 }
    close(f)
    return have[d]
  }
  function version(name, v) { return v[name "Major"] * 100 + v[name "Minor"] }
  /^Major|^Minor/ { kind = substr($1, 1, 5); v[substr($1, 6) kind] = $2 }
  /^\tDLL Name: / {
    shown = $3; dll = tolower($3); sub(/\.dll$/, "", dll); in_dll = 1
    if (!load(dll)) { printf "%s: no list of what Windows XP exports from it\n", shown; bad++ }
    next
  }
  in_dll && /^$/ { in_dll = 0 }
  in_dll && /^\t[0-9a-f]+\t +[0-9]+  / {
    imports++
    if (!have[dll]) next
    if ($3 == "<none>") {
      if (!((dll, $2) in ordinal)) { printf "ordinal %s of %s: not exported by Windows XP SP3\n", $2, shown; bad++ }
    } else if (!((dll, $3) in named)) {
      printf "%s (%s): not exported by Windows XP SP3\n", $3, shown; bad++
    }
  }
  END {
    os = version("OSystemVersion", v); sub_ = version("SubsystemVersion", v)
    if (os == 0 || os > 501) { printf "the PE header asks for Windows %d.%d\n", v["OSystemVersionMajor"], v["OSystemVersionMinor"]; bad++ }
    if (sub_ == 0 || sub_ > 501) { printf "the PE header asks for subsystem %d.%d\n", v["SubsystemVersionMajor"], v["SubsystemVersionMinor"]; bad++ }
    if (imports == 0) { print "no imports read"; bad++ }
    if (bad) exit 1
    printf "%d imports, all exported by Windows XP SP3; the PE header asks for Windows %d.%d\n",
      imports, v["OSystemVersionMajor"], v["OSystemVersionMinor"]
  }' <<<"$dump"
