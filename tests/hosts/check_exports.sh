#!/usr/bin/env bash
# Checks a built module's symbol tables: it must export exactly the entry
# names given, and a Windows DLL may import only system DLLs.
#   check_exports.sh windows <objdump> <module> <entry name>...
#   check_exports.sh linux <nm> <module> <entry name>...
set -euo pipefail
kind=$1 tool=$2 module=$3
shift 3
fail() { echo "FAIL: $*" >&2; exit 1; }
expected=$(printf '%s\n' "$@" | sort)

if [ "$kind" = windows ]; then
  dump=$("$tool" -p "$module")
  # The name table follows the "[Ordinal/Name Pointer] Table" header: "[ n] name".
  exports=$(printf '%s\n' "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/ {t=1; next} t && /^\t\[ *[0-9]+\] / {sub(/^\t\[ *[0-9]+\] /, ""); print; next} t && !/^\t\[/ {t=0}' | sort)
  [ "$exports" = "$expected" ] || fail "exports are [$exports], expected [$(echo $expected)]"
  imports=$(printf '%s\n' "$dump" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  [ -n "$imports" ] || fail "no import table found"
  system='^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|ole32|oleaut32|wininet|msimg32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
  while read -r dll; do
    [[ "$dll" =~ $system ]] || fail "imports $dll, which is not a Windows system DLL"
  done <<< "$imports"
  echo "exports: $(echo $exports); imports: $(echo $imports)"
else
  exports=$("$tool" -D --defined-only "$module" | awk '{print $3}' | sort)
  [ "$exports" = "$expected" ] || fail "exports are [$exports], expected [$(echo $expected)]"
  echo "exports: $(echo $exports)"
fi
