#!/usr/bin/env bash
# Runs Ardour's own VST scanner and a headless Ardour Lua session against the
# built ZAVRO.so, in a private home, cache and configuration, and fails on
# anything Ardour reports as a warning or an error about the plug-in.
#   ardour_vst2.sh scan|session <scanner> <ardour lua launcher> <ZAVRO.so> <work dir> <session script>
set -euo pipefail
mode=$1 scanner=$2 launcher=$3 module=$4 work=$5 script=$6
. "$(dirname "$0")/ardour_common.sh"

cp "$module" "$work/plugins/ZAVRO.so"
date_in_past "$work/plugins/ZAVRO.so"
export LXVST_PATH=$work/plugins

scan "$work/plugins/ZAVRO.so" "Found Plugin: .* Z318ME" v2i binary \
  'name="Z318ME"' 'creator="Quillumbra"' 'n_inputs="2"' 'n_outputs="2"' 'category="Effect"' 'is_instrument="0"'
[ "$mode" = scan ] && exit 0

run_session "$script"
