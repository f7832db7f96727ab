#!/usr/bin/env bash
# Checks that Linux plug-in modules load on the oldest distributions we support
# (Debian 11, Ubuntu 20.04): nothing from the C library newer than GLIBC_2.31,
# nothing from the system's libgcc_s newer than GCC_7.0.0, and the C++ runtime
# linked in rather than needed (no GLIBCXX or CXXABI versions, no libstdc++).
#   check_linux_symbols.sh <objdump> <module>...
set -euo pipefail
tool=$1
shift
failed=0
# Fails when a version of a library is newer than the oldest we support.
check_version() {
  local name=$1 version=$2 number=$3 oldest=$4
  local newest
  newest=$(printf '%s\n%s\n' "$number" "$oldest" | sort -V | tail -1)
  if [ "$newest" != "$oldest" ]; then echo "FAIL: $name needs $version" >&2; failed=1; fi
}
for module in "$@"; do
  name=$(basename "$module")
  versions=$("$tool" -T "$module" | grep -oE '\b(GLIBC|GLIBCXX|CXXABI|GCC)_[0-9][0-9.]*' | sort -u || true)
  needed=$("$tool" -p "$module" | awk '$1 == "NEEDED" {print $2}')
  [ -n "$versions" ] || { echo "FAIL: $name: no symbol versions found" >&2; failed=1; }
  for v in $versions; do
    case $v in
      GLIBC_*) check_version "$name" "$v" "${v#GLIBC_}" 2.31 ;;
      GCC_*) check_version "$name" "$v" "${v#GCC_}" 7.0.0 ;;
      *) echo "FAIL: $name needs $v of the C++ runtime" >&2; failed=1 ;;
    esac
  done
  for library in $needed; do
    case $library in
      libstdc++*) echo "FAIL: $name needs $library" >&2; failed=1 ;;
    esac
  done
  echo "$name: $(echo $versions); needs $(echo $needed)"
done
exit $failed
