#!/bin/sh
# The command line of quillamor-sim: help and version on the standard output with status 0,
# mistakes named in one line on the error stream with status 2, and a profile and a scenario
# told apart. Usage: command_line.sh QUILLAMOR_SIM SOURCE_DIR
sim=$1
src=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# check STATUS STREAM TEXT -- ARGS...: the run exits with STATUS and STREAM (out or err)
# contains TEXT; the other stream of a failing run holds at most the transcript.
check() {
    want_status=$1 stream=$2 text=$3
    shift 4
    "$sim" "$@" >"$scratch/out" 2>"$scratch/err" </dev/null
    status=$?
    if [ "$status" -ne "$want_status" ] || ! grep -qF -- "$text" "$scratch/$stream"; then
        echo "FAIL: quillamor-sim $* -> status $status (want $want_status), $stream lacks: $text"
        sed 's/^/  out: /' "$scratch/out" | head -5
        sed 's/^/  err: /' "$scratch/err" | head -5
        failures=$((failures + 1))
    fi
    if [ "$want_status" -eq 2 ] && [ "$(wc -l <"$scratch/err")" -ne 1 ]; then
        echo "FAIL: quillamor-sim $* -> the error stream is not one line"
        failures=$((failures + 1))
    fi
}

printf '%s' '{"profile": {}, "steps": [{"do": "connect"}], "faults": [{"member": "Nothing"}]}' >"$scratch/unused.json"

check 0 out "usage: quillamor-sim run SCENARIO.json" -- --help
check 0 out "docs/reference/scenario-format.md" -- -h
check 0 out "A profile is" -- help
check 0 out "A scenario is" -- run --help
check 0 out "quillamor-sim 1." -- --version
check 2 err "unknown option \"--jsn\"; did you mean \"--json\"?" -- run "$src/examples/quick-list.json" --jsn
check 2 err "unknown option \"--verbose\"" -- --verbose
check 2 err "unknown command \"walk\"" -- walk x.json
check 2 err "run needs a scenario file" -- run
check 2 err "run plays one scenario file" -- run a.json b.json
check 2 err "\"--json\" is an option of run, not of play" -- play "$src/examples/office.json" --json
check 2 err "quillamor-sim play" -- run "$src/examples/office.json"
check 2 err "quillamor-sim run" -- play "$src/tests/scenarios/quick-list.json"
check 2 err "is a directory" -- run "$src"
check 2 err "not a regular file" -- run /dev/zero
check 0 out "end: 0 host objects left alive" -- run "$src/tests/scenarios/quick-list.json"
check 0 out "step 2: a quick list is made directly" -- run "$src/tests/scenarios/quick-list.json"
check 0 err "warning: 1 fault never fired" -- run "$scratch/unused.json"
check 0 out "\"event\":\"unused\"" -- run "$scratch/unused.json" --json

[ "$failures" -eq 0 ] && echo "command line: all cases pass"
[ "$failures" -eq 0 ]
