# Sourced by the Ardour drivers: a private home, cache and configuration under
# $work, Ardour's own launcher environment and data (with only the WAV export
# format), and the helpers both drivers use. Expects $work, $scanner and $launcher.
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/plugins" "$work/home" "$work/cache" "$work/config" "$work/export" "$work/data/export"
export HOME=$work/home XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config

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

# Ardour keeps a scan only while it is newer than the module, comparing whole
# seconds: copies are dated in the past so a scan in the same second counts.
date_in_past() { touch -d "@$(( $(date +%s) - 10 ))" "$@"; }

complaints() { grep -iE '(warning|error|fail|crash|blacklist)' "$1" | grep -iE 'zavro|z318|813z|1513304376|vst' || true; }

# scan <plug-in> <scanner's found line> <cache suffix> <cache attribute holding the path> <field>...:
# Ardour's scanner must accept the plug-in without complaint and cache every field.
scan() {
  local plugin=$1 found=$2 suffix=$3 key=$4 log=$work/scan.log cache field
  shift 4
  timeout 60 "$scanner" -f "$plugin" > "$log" 2>&1 || { cat "$log"; fail "scanner exited with an error"; }
  cat "$log"
  grep -q "$found" "$log" || fail "scanner did not accept $(basename "$plugin")"
  [ -z "$(complaints "$log")" ] || fail "scanner complained: $(complaints "$log")"
  cache=$(grep -l "$key=\"$plugin\"" "$work"/cache/ardour7/vst/*."$suffix" 2>/dev/null | head -1)
  [ -n "$cache" ] || fail "scanner wrote no cache entry"
  for field in "$@"; do
    grep -qF "$field" "$cache" || fail "scan result lacks $field: $(cat "$cache")"
  done
}

# run_session <session script>: the headless session, which must print its ok line.
run_session() {
  local log=$work/session.log
  ZAVRO_SESSION_DIR=$work/session ZAVRO_EXPORT_DIR=$work/export ZAVRO_SESSION_LIB=$(dirname "$1")/ZavroSession.lua \
    timeout 120 "$session_tool" "$1" > "$log" 2>&1 || { cat "$log"; fail "Ardour Lua session exited with an error"; }
  cat "$log"
  grep -q '^ZAVRO-SESSION-OK' "$log" || fail "the session script did not finish"
  [ -z "$(complaints "$log")" ] || fail "Ardour complained: $(complaints "$log")"
}
