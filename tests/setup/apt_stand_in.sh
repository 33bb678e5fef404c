#!/usr/bin/env bash
# Plays apt-get (or dpkg) for the set-up's test. $STAND_IN_DIR/mode says how the mirror
# behaves; every call is appended to $STAND_IN_DIR/calls.
#   update-once: the first update fails on a hash mismatch, later ones succeed.
#   i386-index:  every update misses the security suite's i386 index; an install resolves only
#                when pinned with -t.
#   broken:      updates succeed; no install resolves.
dir=${STAND_IN_DIR:?}
echo "$(basename "$0") $*" >>"$dir/calls"
case $(basename "$0") in
  dpkg) [ "$1" = --print-foreign-architectures ] && exit 0; exit 0 ;;
esac
mode=$(cat "$dir/mode")
updates=$(grep -c '^apt-get update' "$dir/calls")
wall() {
  echo "Some packages could not be installed. This may mean that you have"
  for i in $(seq 1 40); do echo " libpkg$i:i386 : Depends: libdep$i:i386 but it is not going to be installed"; done
  echo "E: Unable to correct problems, you have held broken packages."
}
case $1 in
  update)
    echo "Hit:1 http://deb.debian.org/debian bookworm InRelease"
    if [ "$mode" = update-once ] && [ "$updates" -eq 1 ]; then
      echo "E: Failed to fetch http://deb.debian.org/debian/dists/bookworm/main/binary-amd64/Packages.xz  Hash Sum mismatch [IP: 192.0.2.1 80]"
      exit 100
    fi
    if [ "$mode" = i386-index ]; then
      echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi
    exit 0 ;;
  install)
    case $mode in
      update-once) echo "Setting up fake-tool (1.0) ..."; exit 0 ;;
      i386-index) case " $* " in *" -t bookworm "*) echo "Setting up fake-lib:i386 (1.0) ..."; exit 0 ;; esac
        wall; exit 100 ;;
      broken) wall; exit 100 ;;
    esac ;;
esac
echo "stand-in: unexpected call: $*" >&2
exit 2
