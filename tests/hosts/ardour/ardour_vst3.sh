#!/usr/bin/env bash
# Runs Ardour's own VST 3 scanner and a headless Ardour Lua session against the
# built ZAVRO.vst3 bundle, in a private home, cache and configuration, and fails
# on anything Ardour reports as a warning or an error about the plug-in.
#   ardour_vst3.sh scan|session <scanner> <ardour lua launcher> <ZAVRO.vst3 bundle> <work dir> <session script>
set -euo pipefail
mode=$1 scanner=$2 launcher=$3 bundle=$4 work=$5 script=$6
. "$(dirname "$0")/ardour_common.sh"

cp -r "$bundle" "$work/plugins/ZAVRO.vst3"
mapfile -t copied < <(find "$work/plugins/ZAVRO.vst3")
date_in_past "${copied[@]}"
export VST3_PATH=$work/plugins

scan "$work/plugins/ZAVRO.vst3" "Found Plugin: Z318ME" v3i bundle \
  'uid="F2AEE70D00DE4F4E516C6D625A333138"' 'name="Z318ME"' 'vendor="Quillumbra"' 'category="Fx|EQ"' \
  'version="5.0.0"' 'sdk-version="VST 3.6.12"' 'n_inputs="2"' 'n_outputs="2"' 'n_midi_inputs="0"'
[ "$mode" = scan ] && exit 0

run_session "$script"
