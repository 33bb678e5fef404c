# Jobs that run beside the script that starts them: the suites under Wine spend much of their
# time waiting on Wine, so they run while the native trees build and test. Each job's output
# goes to a file and is shown whole when the job is waited for. Sourced, not run.

declare -A JOB_PIDS=()
JOB_LOGS=$(mktemp -d)

# start_job NAME COMMAND...: starts the command as job NAME, in a process group of its own
# (so that stopping it stops Wine and everything else it started). The job leaves its exit
# status in a file: a job that ended long before it is waited for may no longer be known to
# `wait` (once the process ids have wrapped around, the shell forgets an old child's status
# when a new child gets its id, and `wait` answers 127).
start_job() {
  local name=$1; shift
  rm -f "$JOB_LOGS/$name.status"
  setsid bash -c 'started=$SECONDS; "${@:3}"; rc=$?; record_time "$1" $((SECONDS - started))
                  echo $rc >"$2.tmp" && mv "$2.tmp" "$2"; exit $rc' \
    bash "$name" "$JOB_LOGS/$name.status" "$@" >"$JOB_LOGS/$name.log" 2>&1 </dev/null &
  JOB_PIDS[$name]=$!
  echo "== started beside the rest: $name"
}

# finish_job NAME: waits for job NAME, shows its output, and fails as it failed.
finish_job() {
  local name=$1 rc=0 status=$JOB_LOGS/$1.status
  while [ ! -f "$status" ] && kill -0 "${JOB_PIDS[$name]}" 2>/dev/null; do sleep 1; done
  wait "${JOB_PIDS[$name]}" 2>/dev/null || true
  # No status: the job was ended before it could write one.
  rc=$(cat "$status" 2>/dev/null || echo "none: it was ended from outside")
  unset "JOB_PIDS[$name]"
  echo "== $name"
  cat "$JOB_LOGS/$name.log"
  if [ "$rc" != 0 ]; then
    echo "== $name FAILED (exit $rc)" >&2
    return 1
  fi
}

# On the way out (a failure of the script itself included), the jobs still running are
# stopped and what they wrote so far is shown.
stop_jobs() {
  local name
  for name in "${!JOB_PIDS[@]}"; do
    kill -- "-${JOB_PIDS[$name]}" 2>/dev/null || true
    wait "${JOB_PIDS[$name]}" 2>/dev/null || true
    echo "== $name, stopped; its output so far:" >&2
    cat "$JOB_LOGS/$name.log" >&2
  done
  rm -rf "$JOB_LOGS"
}
trap stop_jobs EXIT

# The time each part of a run took, for the table at its end: QUILLAMOR_TIMES names a file
# that the script and everything it starts add to, a line "SECONDS<TAB>PART" each.
record_time() {
  [ -z "${QUILLAMOR_TIMES:-}" ] || printf '%s\t%s\n' "$2" "$1" >>"$QUILLAMOR_TIMES"
}
export -f record_time

# timed NAME COMMAND...: runs the command and records its time under NAME.
timed() {
  local name=$1 started=$SECONDS; shift
  "$@"
  record_time "$name" $((SECONDS - started))
}

# print_times: the table of the times recorded, in the order the parts ended.
print_times() {
  [ -s "${QUILLAMOR_TIMES:-}" ] || return 0
  echo "== where the time went (parts beside each other overlap)"
  awk -F '\t' '{ printf "%7d s  %s\n", $1, $2 }' "$QUILLAMOR_TIMES"
}
