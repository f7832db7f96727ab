#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine, from
# Debian's own packages only. Safe to run again: it installs only what is missing
# and fetches the libpng source only once.
set -euo pipefail

die() { echo "bootstrap: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || die "must run as root (it installs Debian packages with apt-get)."
[ -r /etc/os-release ] || die "cannot read /etc/os-release; this script supports Debian 12 only."
. /etc/os-release
[ "${ID:-}" = "debian" ] || die "this is '${ID:-unknown}', not Debian; install the packages listed in this script by hand."
case "${VERSION_ID:-}" in
  12) ;;
  *) echo "bootstrap: warning: tested on Debian 12, this is Debian ${VERSION_ID:-unknown}" >&2 ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  # native build and test
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev
  # fuzzing and sanitizer runtimes
  clang libclang-rt-14-dev
  # Windows cross build
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  # running Windows programs and windows
  wine wine64 xvfb xauth
  # fetching Debian source packages (libpng for Windows)
  dpkg-dev
  # a real host for the Linux builds
  ardour
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# apt-get source needs source lines for the configured suites: derive them from
# the binary ones, so no mirror is named here.
srcfile=/etc/apt/sources.list.d/zavro-src.sources
added_src=0
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$srcfile"
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -E 's/^deb /deb-src /' > /etc/apt/sources.list.d/zavro-src.list
  else
    die "no apt sources found to derive source lines from."
  fi
  added_src=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $added_src -eq 1 ] || [ ! -d "$root/third_party/src/libpng" ]; then
  echo "bootstrap: updating package lists"
  apt-get update -qq || die "apt-get update failed; check the network and the apt sources."
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    || die "apt-get install failed for: ${missing[*]}"
fi

# libpng for Windows is built by our build from Debian's source of the same version
# as the native libpng-dev.
if [ ! -f "$root/third_party/src/libpng/png.h" ]; then
  echo "bootstrap: fetching Debian's libpng source"
  work=$(mktemp -d)
  # The newest listed version is not always on the mirror yet: take the first
  # one that downloads.
  fetched=0
  for v in $(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -rV); do
    if (cd "$work" && apt-get source -qq --download-only "libpng1.6=$v" >/dev/null 2>&1); then
      fetched=1; break
    fi
    rm -f "$work"/*
  done
  [ $fetched -eq 1 ] && (cd "$work" && dpkg-source -x ./*.dsc src >/dev/null 2>&1) \
    || { rm -rf "$work"; die "could not fetch the libpng1.6 source package."; }
  mkdir -p "$root/third_party/src"
  rm -rf "$root/third_party/src/libpng"
  mv "$work/src" "$root/third_party/src/libpng"
  rm -rf "$work"
fi

echo "bootstrap: ready"
