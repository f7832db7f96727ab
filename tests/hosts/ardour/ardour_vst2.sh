#!/usr/bin/env bash
# Runs Ardour's own VST scanner and a headless Ardour Lua session against the
# built ZAVRO.so, in a private home, cache and configuration, and fails on
# anything Ardour reports as a warning or an error about the plug-in.
#   ardour_vst2.sh scan|session <scanner> <ardour lua launcher> <ZAVRO.so> <work dir> <session script>
set -euo pipefail
mode=$1 scanner=$2 launcher=$3 module=$4 work=$5 script=$6
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/plugins" "$work/home" "$work/cache" "$work/config" "$work/export" "$work/data/export"
cp "$module" "$work/plugins/ZAVRO.so"
# Ardour keeps a scan only while it is newer than the module, comparing whole
# seconds: the copy is dated in the past so a scan in the same second counts.
touch -d "@$(( $(date +%s) - 10 ))" "$work/plugins/ZAVRO.so"
export HOME=$work/home XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config LXVST_PATH=$work/plugins

# The environment Ardour's launcher sets up, taken from the launcher itself.
eval "$(grep -E '^export (LD_LIBRARY_PATH|ARDOUR_[A-Z_]+|VAMP_PATH)=' "$launcher")"
session_tool=$(sed -n 's/^exec \([^ ]*\) .*/\1/p' "$launcher")
[ -x "$session_tool" ] || fail "cannot find the session tool behind $launcher"
# Ardour's data with only the WAV export format: loading the MP3 formats, whose
# encoder Debian's build lacks, corrupts Ardour's heap now and then (it happens
# without ZAVRO too) and crashes the session at random.
for entry in "$ARDOUR_DATA_PATH"/*; do
  [ "$(basename "$entry")" = export ] || ln -s "$entry" "$work/data/"
done
cp "$ARDOUR_DATA_PATH/export/wav.preset" "$ARDOUR_DATA_PATH/export/WAV (tagged).format" "$work/data/export/"
export ARDOUR_DATA_PATH=$work/data

complaints() { grep -iE '(warning|error|fail|crash|blacklist)' "$1" | grep -iE 'zavro|z318|813z|1513304376|vst' || true; }

scan_log=$work/scan.log
timeout 60 "$scanner" -f "$work/plugins/ZAVRO.so" > "$scan_log" 2>&1 || { cat "$scan_log"; fail "scanner exited with an error"; }
cat "$scan_log"
grep -q "Found Plugin: .* Z318ME" "$scan_log" || fail "scanner did not accept ZAVRO.so"
[ -z "$(complaints "$scan_log")" ] || fail "scanner complained: $(complaints "$scan_log")"
cache=$(grep -l 'binary="'"$work/plugins/ZAVRO.so"'"' "$work"/cache/ardour7/vst/*.v2i 2>/dev/null | head -1)
[ -n "$cache" ] || fail "scanner wrote no cache entry"
for field in 'name="Z318ME"' 'creator="Quillumbra"' 'n_inputs="2"' 'n_outputs="2"' 'category="Effect"' 'is_instrument="0"'; do
  grep -q "$field" "$cache" || fail "scan result lacks $field: $(cat "$cache")"
done
[ "$mode" = scan ] && exit 0

session_log=$work/session.log
ZAVRO_SESSION_DIR=$work/session ZAVRO_EXPORT_DIR=$work/export \
  timeout 120 "$session_tool" "$script" > "$session_log" 2>&1 || { cat "$session_log"; fail "Ardour Lua session exited with an error"; }
cat "$session_log"
grep -q '^ZAVRO-SESSION-OK' "$session_log" || fail "the session script did not finish"
[ -z "$(complaints "$session_log")" ] || fail "Ardour complained: $(complaints "$session_log")"
