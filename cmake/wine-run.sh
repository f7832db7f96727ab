#!/usr/bin/env bash
# Runs a Windows program under Wine for the test suites: a prefix of the
# project's own (created on first use, never the user's ~/.wine), no Wine debug
# output, and a virtual X display when ZAVRO_XVFB=1 (suites that open windows).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${ZAVRO_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko installers: nothing we run needs them, and they would ask.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine=$(command -v wine || command -v wine64 || true)
[ -n "$wine" ] || { echo "wine-run: wine is not installed (run scripts/bootstrap.sh)" >&2; exit 1; }

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot --init >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
  fi
) 9>"$WINEPREFIX.lock"

if [ "${ZAVRO_XVFB:-0}" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$wine" "$@"
fi
exec "$wine" "$@"
