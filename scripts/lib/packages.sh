# Installing missing Debian packages, for scripts/lib/setup.sh. Sourced, not run.
#
# A mirror that is syncing serves an index that does not match its release file for a minute or
# two, and apt-get update then fails. So the update is tried again; if an index still fails,
# what is missing is installed from the indexes that did load when apt can resolve that, or
# else with both architectures pinned to the release (an i386 library whose amd64 twin came
# from a suite whose i386 index is missing resolves nowhere else). When nothing resolves, one
# message names the packages and apt's error.
#
# apt-get, dpkg and the pause between tries can be replaced for tests, which then need neither
# root, nor sudo (whose secure_path would hide a stand-in on the PATH), nor the network:
# QUILLAMOR_APT_GET, QUILLAMOR_DPKG (both run as they are, without sudo), QUILLAMOR_APT_PAUSE
# (a command given the seconds to wait) and QUILLAMOR_OS_RELEASE (the file naming the release).

APT_UPDATE_TRIES=5
# Waits after each failed try but the last: under two minutes in all.
APT_UPDATE_WAITS="8 16 32 60"

apt_cmd() {
  if [ -n "${QUILLAMOR_APT_GET:-}" ]; then "$QUILLAMOR_APT_GET" "$@"
  else DEBIAN_FRONTEND=noninteractive sudo_if_needed apt-get "$@"; fi
}

dpkg_cmd() {
  if [ -n "${QUILLAMOR_DPKG:-}" ]; then "$QUILLAMOR_DPKG" "$@"; else sudo_if_needed dpkg "$@"; fi
}

apt_pause() { ${QUILLAMOR_APT_PAUSE:-sleep} "$1"; }

# The release's code name, for pinning: empty when the system does not say.
release_codename() {
  sed -n 's/^VERSION_CODENAME=//p' "${QUILLAMOR_OS_RELEASE:-/etc/os-release}" 2>/dev/null | tr -d '"' | head -n 1
}

# apt_update LOG: tries apt-get update up to APT_UPDATE_TRIES times; LOG keeps the last output.
apt_update() {
  local log=$1 try=1 wait
  local -a waits=($APT_UPDATE_WAITS)
  while :; do
    apt_cmd update -q >"$log" 2>&1 && return 0
    [ "$try" -ge "$APT_UPDATE_TRIES" ] && return 1
    wait=${waits[$((try - 1))]:-60}
    echo "== apt-get update failed (try $try of $APT_UPDATE_TRIES: $(apt_errors "$log" | head -n 1)); trying again in $wait s"
    apt_pause "$wait"
    try=$((try + 1))
  done
}

# apt's error lines of LOG, without the "E: " or "W: ", the most telling first.
apt_errors() {
  sed -n 's/^[EW]: //p' "$1" | sed 's/ *\[IP: [^]]*\]//'
}

# The indexes an update could not fetch, as "SUITE/COMPONENT ARCH (REASON)", one a line; apt's
# first error when it names none.
failed_indexes() {
  local found
  found=$(sed -n 's/^[EW]: Failed to fetch [^ ]*\/dists\/\([^ ]*\)\/\([^/ ]*\)\/binary-\([^/ ]*\)\/[^ ]* *\(.*\)$/\1\/\2 \3 (\4)/p' "$1" |
    sed 's/ *\[IP: [^]]*\]//')
  if [ -n "$found" ]; then echo "$found"; else apt_errors "$1" | head -n 1; fi
}

# apt_install LOG [apt options...] -- PACKAGES...: simulates first, so that a choice that does
# not resolve changes nothing; the install's own output goes to LOG.
apt_try_install() {
  local log=$1; shift
  local -a opts=()
  while [ "$1" != "--" ]; do opts+=("$1"); shift; done
  shift
  apt_cmd install -s -y -q --no-install-recommends "${opts[@]}" "$@" >"$log" 2>&1 || return 1
  apt_cmd install -y -q --no-install-recommends "${opts[@]}" "$@" >"$log" 2>&1
}

# Installs the packages that are not installed yet (one apt-get run for all of them).
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    dpkg_cmd --print-foreign-architectures | grep -qx i386 || dpkg_cmd --add-architecture i386
  fi
  local log skipped="" codename
  log=$(mktemp "${TMPDIR:-/tmp}/quillamor-apt.XXXXXX")
  if ! apt_update "$log"; then
    skipped=$(failed_indexes "$log" | paste -sd ';' | sed 's/;/; /g')
  fi
  if apt_try_install "$log" -- "${missing[@]}"; then
    [ -n "$skipped" ] &&
      echo "== apt: installed without the index of $skipped, which failed $APT_UPDATE_TRIES tries"
    rm -f "$log"
    return 0
  fi
  codename=$(release_codename)
  if [ -n "$skipped" ] && [ -n "$codename" ] &&
      apt_try_install "$log" -t "$codename" -- "${missing[@]}"; then
    echo "== apt: the index of $skipped failed $APT_UPDATE_TRIES tries, so both architectures were installed from $codename (apt-get install -t $codename)"
    rm -f "$log"
    return 0
  fi
  {
    echo "== cannot install ${missing[*]}: $(apt_errors "$log" | paste -sd ';' | sed 's/;/; /g')"
    [ -n "$skipped" ] && echo "   (apt-get update could not fetch the index of $skipped)"
    echo "   apt-get's whole output: $log"
  } >&2
  return 1
}
