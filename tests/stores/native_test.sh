#!/bin/sh
# The store limits' runs natively: made by make_scenarios.py, played by quillamor-sim, their
# transcripts checked by check_transcripts.py.
#   tests/stores/native_test.sh QUILLAMOR_SIM
set -eu
here=$(cd "$(dirname "$0")" && pwd)
sim=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/make_scenarios.py" "$work"
for f in "$work"/*.json; do
    "$sim" run "$f" --json >"${f%.json}.jsonl" 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
done
python3 "$here/check_transcripts.py" "$work"
