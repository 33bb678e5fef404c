#!/usr/bin/env bash
# The set-up's apt step against a stand-in mirror: a retried update, the fallback to a pinned
# release when one architecture's index stays missing, and one clear message when nothing can
# be installed. Needs neither root nor the network, and waits no real time.
set -u
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
cp "$root/tests/setup/apt_stand_in.sh" "$work/bin/apt-get"
cp "$root/tests/setup/apt_stand_in.sh" "$work/bin/dpkg"
printf '#!/bin/sh\necho "$1" >>"%s/pauses"\n' "$work" >"$work/bin/pause"
printf 'NAME="Debian GNU/Linux"\nVERSION_CODENAME=bookworm\n' >"$work/os-release"
chmod +x "$work/bin/"*
failures=0

fail() { echo "FAIL ($case): $*"; failures=$((failures + 1)); }

# play MODE PACKAGES...: runs ensure_packages; its status in $status, its output in $out.
play() {
  echo "$1" >"$work/mode"
  shift
  : >"$work/calls"; : >"$work/pauses"
  out=$(STAND_IN_DIR=$work QUILLAMOR_APT_GET=$work/bin/apt-get QUILLAMOR_DPKG=$work/bin/dpkg \
    QUILLAMOR_APT_PAUSE=$work/bin/pause QUILLAMOR_OS_RELEASE=$work/os-release TMPDIR=$work \
    bash -c '. "$1/scripts/lib/setup.sh"; shift; ensure_packages "$@"' _ "$root" "$@" 2>&1)
  status=$?
}

count() { grep -c "$1" "$2"; }

case="update fails once"
play update-once quillamor-test-fake-tool
[ $status -eq 0 ] || fail "status $status: $out"
[ "$(count '^apt-get update' "$work/calls")" -eq 2 ] || fail "updates: $(cat "$work/calls")"
[ "$(cat "$work/pauses")" = 8 ] || fail "pauses: $(cat "$work/pauses")"
grep -q 'try 1 of 5: Failed to fetch .*Hash Sum mismatch); trying again in 8 s' <<<"$out" || fail "$out"
grep -q -- '-t ' "$work/calls" && fail "pinned although the update recovered"
grep -q 'installed without' <<<"$out" && fail "reports a skipped index: $out"

case="one architecture's index stays missing"
play i386-index quillamor-test-fake-lib:i386
[ $status -eq 0 ] || fail "status $status: $out"
[ "$(count '^apt-get update' "$work/calls")" -eq 5 ] || fail "updates: $(cat "$work/calls")"
[ $(( $(paste -sd+ "$work/pauses") )) -le 120 ] || fail "waited $(paste -sd+ "$work/pauses") s"
grep -q '^dpkg --add-architecture i386' "$work/calls" || fail "i386 not added: $(cat "$work/calls")"
grep -q '^apt-get install -y -q --no-install-recommends -t bookworm quillamor-test-fake-lib:i386$' "$work/calls" ||
  fail "no pinned install: $(cat "$work/calls")"
expected='== apt: the index of bookworm-security/main i386 (File has unexpected size (374820 != 376004). Mirror sync in progress?) failed 5 tries, so both architectures were installed from bookworm (apt-get install -t bookworm)'
grep -qxF "$expected" <<<"$out" || fail "$out"
grep -q 'Depends:' <<<"$out" && fail "resolver output shown: $out"

case="nothing can be installed"
play broken quillamor-test-fake-a quillamor-test-fake-b
[ $status -ne 0 ] || fail "reported success: $out"
grep -q -- '-t ' "$work/calls" && fail "pinned although every index loaded"
grep -q '^apt-get install -y' "$work/calls" && fail "installed after a failed simulation"
first=$(grep '^== cannot' <<<"$out")
[ "$first" = "== cannot install quillamor-test-fake-a quillamor-test-fake-b: Unable to correct problems, you have held broken packages." ] ||
  fail "message: $out"
grep -q 'Depends:' <<<"$out" && fail "resolver output shown: $out"
[ "$(wc -l <<<"$out")" -le 3 ] || fail "more than the message: $out"

case="one index missing and nothing resolves"
printf 'NAME="Debian GNU/Linux"\n' >"$work/os-release"
play i386-index quillamor-test-fake-lib:i386
[ $status -ne 0 ] || fail "reported success: $out"
grep -q '^== cannot install quillamor-test-fake-lib:i386: Unable to correct problems' <<<"$out" || fail "$out"
grep -q 'could not fetch the index of bookworm-security/main i386' <<<"$out" || fail "$out"

[ $failures -eq 0 ] && echo "apt fallback: all cases passed"
exit $((failures > 0))
